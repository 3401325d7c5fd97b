"""Beams: a single energy by hand, the tool's numbers for a filtered continuum, and a
Python exception for every beam or layer that is none."""
import math

import numpy as np
import pytest

import tarvo


@pytest.mark.parametrize("name, kev, weighting, method", [
    ("Al", 30.0, "air-kerma", "spline"),
    ("Cu", 100.0, "fluence", "loglog"),
    ("Pb", 662.0, "energy-fluence", "spline"),
])
def test_a_single_energy_by_hand(name, kev, weighting, method):
    material = tarvo.material(name)
    beam = tarvo.Spectrum([kev], [7.0])
    hvl = math.log(2) / (material.mu(kev, unit="keV", method=method) * material.density)
    options = dict(weighting=weighting, method=method)
    assert beam.hvl(name, **options) == pytest.approx(hvl, rel=1e-12)
    assert beam.hvl(name, order=2, **options) == pytest.approx(hvl, rel=1e-9)
    assert beam.hvl(name, unit="mm", **options) == pytest.approx(10 * hvl, rel=1e-12)
    assert beam.homogeneity(name, **options) == pytest.approx(1.0, abs=1e-9)
    np.testing.assert_allclose(beam.effective_energy(name, **options), [kev], rtol=1e-7)
    assert beam.transmission(name, [0.0, hvl], **options) == pytest.approx([1.0, 0.5])
    assert beam.filtered([(name, 0.0)]).counts.tolist() == [7.0]


def kramers(tmp_path):
    energies = np.arange(10.0, 100.0)
    path = tmp_path / "kramers.csv"
    path.write_text("".join(f"{e:g},{100 - e:.17g}\n" for e in energies))
    return path


@pytest.mark.parametrize("method", ["spline", "loglog"])
def test_a_filtered_continuum_is_the_tools(tool, tmp_path, method):
    path = kramers(tmp_path)
    answer = tool("spectrum", str(path), "--filter", "Al:2.5mm,Cu:0.05mm", "--hvl", "Al",
                  "--method", method)
    rows = {}
    for row in answer["rows"]:
        rows.setdefault(row["quantity"], row["value"])
    beam = tarvo.Spectrum.read(str(path)).filtered("Al:2.5mm,Cu:0.05mm", method=method)
    assert beam.filtered([("Al", 0.0, "mm")]).counts.tolist() == beam.counts.tolist()
    got = {
        "mean energy": beam.mean_energy(),
        "air kerma": beam.air_kerma(method=method),
        "HVL1": beam.hvl("Al", unit="mm", method=method),
        "HVL2": beam.hvl("Al", order=2, unit="mm", method=method),
        "TVL": beam.tvl("Al", unit="mm", method=method),
        "homogeneity coefficient": beam.homogeneity("Al", method=method),
        "effective energy": beam.effective_energy("Al", method=method)[0],
    }
    for key, value in got.items():
        assert value == pytest.approx(rows[key], rel=1e-14), key
    assert 0.6 < got["homogeneity coefficient"] < 1
    assert beam.transmission("Al", got["HVL1"], unit="mm", method=method) == pytest.approx(0.5)


@pytest.mark.parametrize("call, error", [
    (lambda: tarvo.Spectrum([], []), ValueError),
    (lambda: tarvo.Spectrum([30, 20], [1, 1]), ValueError),
    (lambda: tarvo.Spectrum([20, 20], [1, 1]), ValueError),
    (lambda: tarvo.Spectrum([20, 30], [1, -1]), ValueError),
    (lambda: tarvo.Spectrum([20, 30], [1, math.nan]), ValueError),
    (lambda: tarvo.Spectrum([20, 30], [0, 0]), ValueError),
    (lambda: tarvo.Spectrum([20, 30], [1]), ValueError),
    (lambda: tarvo.Spectrum([0.5], [1]), ValueError),
    (lambda: tarvo.Spectrum([30], [1], unit="MeV"), ValueError),
    (lambda: tarvo.Spectrum([30], [1], per_unit_energy=True), ValueError),
    (lambda: tarvo.Spectrum.read("/nonexistent/beam.csv"), OSError),
    (lambda: tarvo.Spectrum([30], [1]).filtered("Al:2in"), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).filtered([("Al",)]), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).filtered([("Al", -1)]), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).filtered([(tarvo.compound("H2O"), 1)]), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).filtered("Unobtainium:1mm"), KeyError),
    (lambda: tarvo.Spectrum([30], [1]).hvl("Al", order=3), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).hvl("Al", weighting="dose"), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).hvl("Al", unit="inch"), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).hvl("Al", density=0), ValueError),
    (lambda: tarvo.Spectrum([30], [1]).hvl(tarvo.compound("H2O")), ValueError),
    (lambda: tarvo.Spectrum([20], [1]).filtered("Pb:10cm"), ValueError),
    (lambda: tarvo.Spectrum([30, 100], [1, 1]).filtered("Pb:1m"), ValueError),
    (lambda: tarvo.Spectrum([30, 40], [1e308, 1e308]), ValueError),
    (lambda: tarvo.Spectrum([30], [1e-320]), ValueError),
    (lambda: tarvo.Spectrum(None, None), TypeError),
    (lambda: tarvo.Spectrum.read("/dev/zero"), ValueError),
    (lambda: tarvo.Spectrum.read("/tmp"), OSError),
])
def test_every_bad_beam_is_a_python_exception(call, error):
    with pytest.raises(error):
        call()


def test_a_bad_line_is_named_and_a_saved_beam_is_kept(tmp_path):
    bad = tmp_path / "bad.csv"
    bad.write_text("# E, N\n20,5\n30;7\n")
    with pytest.raises(ValueError, match="line 3"):
        tarvo.Spectrum.read(str(bad))
    beam = tarvo.Spectrum([20, 33, 40], [5, 7, 1])
    path = tmp_path / "beam.csv"
    beam.save(str(path))
    with pytest.raises(FileExistsError):
        beam.filtered("Al:1mm").save(str(path))
    again = tarvo.Spectrum.read(str(path))
    assert again.energies.tolist() == [20, 33, 40] and again.counts.tolist() == [5, 7, 1]


def test_a_tubes_beam_has_the_figures_the_tool_gives(tool):
    """The tube models, the standard qualities and the filter search read as `tarvo spectrum`
    gives them; the scale of an uncalibrated model is refused an air kerma per mAs."""
    beam = tarvo.Spectrum.tube("W", 80).filtered("Al:2.5mm")
    answer = tool("spectrum", "--tube", "W:80kV", "--filter", "Al:2.5mm", "--hvl", "Al",
                  "--distance", "75cm")
    figures = {row["quantity"]: row["value"] for row in answer["rows"]}
    assert beam.air_kerma_per_mAs(0.75) == pytest.approx(figures["air kerma per mAs"], rel=1e-12)
    assert beam.hvl("Al", unit="mm") == pytest.approx(figures["HVL1"], rel=1e-12)
    assert beam.qvl("Al", unit="mm") == pytest.approx(figures["QVL"], rel=1e-12)
    assert beam.kerma_weighted_mean_energy() == pytest.approx(
        figures["kerma-weighted mean energy"], rel=1e-12)
    rqr5 = tarvo.Spectrum.quality("RQR5")
    assert rqr5.hvl("Al", unit="mm") == pytest.approx(2.58, rel=1e-6)
    added = tarvo.Spectrum.tube("W", 70).added_filter("Al", 2.58)
    assert tarvo.Spectrum.tube("W", 70).filtered(f"Al:{added!r}mm").hvl("Al", unit="mm") == \
        pytest.approx(2.58, rel=1e-6)
    mammography = tarvo.Spectrum.tube("W-mammography", 28).filtered("Be:1mm,Rh:0.05mm")
    assert 18.8 < mammography.mean_energy() < 19.1
    with pytest.raises(ValueError, match="scale is relative"):
        mammography.air_kerma_per_mAs()
    with pytest.raises(ValueError, match="outside the W model's 30-140 kV"):
        tarvo.Spectrum.tube("W", 150)
    with pytest.raises(ValueError, match="takes no ripple"):
        tarvo.Spectrum.tube("Mo", 28, ripple=5)
    with pytest.raises(ValueError, match="RQR2 to RQR9"):
        tarvo.Spectrum.quality("RQA5")
    with pytest.raises(ValueError, match="already above"):
        tarvo.Spectrum.tube("W", 80).added_filter("Al", 0.1)
    with pytest.raises(ValueError, match="finite thickness above 0"):
        tarvo.Spectrum.tube("W", 80).added_filter("Al", -1)
