"""The module gives the tool's numbers, NumPy shapes, nan for what cannot be read, and
Python exceptions for every failure."""
import math
import warnings

import numpy as np
import pytest

import tarvo

ENERGIES = [0.001, 0.00101, 0.0025, 0.0153, 0.025, 0.088, 0.0880045, 0.1, 0.662, 1.25, 3.3, 20.0]


def tool_values(rows, key):
    return np.array([math.nan if row.get(key) is None else row[key] for row in rows])


@pytest.mark.parametrize("name", ["Water", "Pb", "Bone_Cortical", "Ca5(PO4)3OH"])
@pytest.mark.parametrize("method", ["spline", "loglog"])
def test_coefficients_are_the_tools(tool, name, method):
    formula = "(" in name
    answer = tool("mu", *(["--formula", name] if formula else [name]), "--side", "below",
                  "--method", method, "--energy", ",".join(map(str, ENERGIES)))
    material = tarvo.compound(name) if formula else tarvo.material(name)
    got = material.coefficients(ENERGIES, method=method)
    for key in ("mu", "mu_tr", "mu_en"):
        np.testing.assert_array_equal(got[key], tool_values(answer["rows"], key))


@pytest.mark.parametrize("method", ["spline", "loglog"])
@pytest.mark.parametrize("per_atom", [False, True])
def test_cross_sections_are_the_tools(tool, method, per_atom):
    energies = [0.001, 0.01, 0.0880045, 1.0, 30.0, 1e5]
    answer = tool("xs", "Pb", "--side", "above", "--method", method,
                  *(["--per-atom"] if per_atom else []), "--energy", ",".join(map(str, energies)))
    got = tarvo.material("82").cross_sections(energies, per_atom=per_atom, method=method,
                                              side="above")
    for key in ("coherent", "incoherent", "photoelectric", "pair_nuclear", "pair_electron",
                "total"):
        np.testing.assert_array_equal(got[key], tool_values(answer["rows"], key))


def test_attenuation_and_table_are_the_tools(tool):
    layer = tool("attenuate", "Pb", "--thickness", "2mm", "--energy", "0.662")["rows"][0]
    got = tarvo.attenuation("Pb", 0.662, 2, unit="mm")
    for key, tools in [("transmission", "transmission"), ("attenuated", "attenuated"),
                       ("absorbed", "absorbed"), ("hvl", "hvl"), ("tvl", "tvl"),
                       ("mean_free_path", "mfp")]:
        assert got[key] == layer[tools], key
    for method, tools in [("spline", "spline"), ("loglog", "linear"),
                          ("spline-tool", "spline-tool")]:
        rows = tool("table", "Water", "--from", "1", "--to", "500", "--step", "0.5",
                    "--method", tools)["rows"]
        steps = tarvo.table("Water", 1, 500, 0.5, method=method, unit="keV")
        assert len(steps["energy"]) == len(rows) == 999
        for key in ("energy", "mu", "mu_tr", "mu_en"):
            np.testing.assert_array_equal(steps[key], tool_values(rows, key))
    # The default reads as mu() reads.
    steps = tarvo.table("Water", 1, 500, 0.5, unit="keV")
    np.testing.assert_array_equal(steps["mu_en"],
                                  tarvo.material("Water").mu_en(steps["energy"], unit="keV"))


def test_water_at_1_25_MeV_reads_its_row():
    water = tarvo.material("water, liquid")
    for method in ("spline", "loglog"):
        assert water.mu(1.25, method=method) == 0.06323
        assert water.mu_en(1250, unit="keV", method=method) == 0.02965


def test_shapes_follow_the_input_and_broadcast():
    water = tarvo.Material("Water")
    assert isinstance(water.mu(0.1), float)
    for given in ([0.1, 0.2], np.full((2, 3), 0.1), np.array([[0.1]], dtype=np.float32),
                  np.arange(1, 13)[::2] * 0.01):
        assert water.mu(given).shape == np.shape(given)
    layers = tarvo.attenuation(water, np.array([[0.1], [1.0], [10.0]]), [1, 2, 5, 10])
    assert all(values.shape == (3, 4) for values in layers.values())
    np.testing.assert_allclose(layers["transmission"][1],
                               np.exp(-water.mu(1.0) * np.array([1, 2, 5, 10])), rtol=1e-14)
    thickness = tarvo.thickness_for("Pb", [0.1, 0.662], [[0.5], [0.1]], unit="mm")
    assert thickness.shape == (2, 2)
    np.testing.assert_allclose(thickness[0], layers_hvl("Pb", [0.1, 0.662]), rtol=1e-12)
    with pytest.raises(ValueError):
        tarvo.attenuation(water, [0.1, 0.2], [1, 2, 3])


def layers_hvl(name, energies):
    return tarvo.attenuation(name, energies, 1, unit="mm")["hvl"]


class KeptMaterial(tarvo.Material):
    """A script's own subclass: its readings go through the full binding."""


@pytest.mark.parametrize("read", ["mu", "mu_tr", "mu_en"])
def test_one_number_reads_as_an_array_of_it_whichever_way_it_is_called(read):
    """A plain float or int has a direct entry; every call gives the array's value."""
    iron, kept = tarvo.material("Fe"), KeptMaterial("Fe")
    energies = [0.001, 0.0071120, 0.123, 1, 20, 3, 0.0005, 25, math.nan, math.inf, -1.0, 0]
    expected = getattr(iron, read)(np.array(energies, dtype=float))
    for energy, value in zip(energies, expected):
        calls = [getattr(iron, read)(energy), getattr(tarvo.Material, read)(iron, energy),
                 getattr(kept, read)(energy), getattr(iron, read)(np.float64(energy)),
                 getattr(iron, read)(energy, "spline", "MeV", "below"),
                 getattr(iron, read)(E=energy), getattr(iron, read)(energy * 1000, unit="keV")]
        for got in calls:
            assert isinstance(got, float)
            assert got == value or (math.isnan(got) and math.isnan(value)), (energy, calls)
    with pytest.raises(TypeError):
        getattr(tarvo.Material, read)("Fe", 0.1)
    with pytest.raises(TypeError):
        getattr(iron, read)(0.1, "spline", "MeV", "below", "extra")
    with pytest.raises(ValueError):
        getattr(iron, read)(0.1, "cubic")


@pytest.mark.parametrize("energy", [0.0, -1.0, 0.0009, 20.0001, math.nan, math.inf, -math.inf])
def test_an_energy_without_a_reading_is_nan_and_its_neighbours_are_read(energy):
    water = tarvo.material("Water")
    values = water.mu([0.1, energy, 1.0])
    assert math.isnan(values[1])
    assert values[0] == water.mu(0.1) and values[2] == water.mu(1.0)
    assert math.isnan(tarvo.attenuation(water, energy, 1)["transmission"])


def test_formula_water_is_the_shipped_water():
    shipped = tarvo.material("Water")
    formula = tarvo.compound("H2O", density=1.0)
    for symbol, fraction in shipped.composition.items():
        assert formula.composition[symbol] == pytest.approx(fraction, abs=1e-5)
    np.testing.assert_allclose(formula.mu(ENERGIES[:-1]), shipped.mu(ENERGIES[:-1]), rtol=2e-3)


def test_materials_narrow_by_kind_and_category():
    every = tarvo.materials()
    elements = tarvo.materials(kind="element")
    phantoms = tarvo.materials(category="phantom")
    assert len(elements) == 92 and elements[81].name == "Lead" and elements[81].atomic_number == 82
    assert {m.category for m in phantoms} == {"phantom"} and phantoms
    assert len(every) == len(elements) + len(tarvo.materials(kind="material"))


@pytest.mark.parametrize("call, error", [
    (lambda: tarvo.material("Watr"), KeyError),
    (lambda: tarvo.mixture({"Wtaer": 1.0}), ValueError),
    (lambda: tarvo.material("/etc/passwd"), ValueError),
    (lambda: tarvo.compound(" "), ValueError),
    (lambda: tarvo.compound("H2O)"), ValueError),
    (lambda: tarvo.compound("H₂O"), ValueError),
    (lambda: tarvo.compound("H2O", density=-1), ValueError),
    (lambda: tarvo.compound("H2O", name="two\nlines"), ValueError),
    (lambda: tarvo.mixture({"Water": -0.5}), ValueError),
    (lambda: tarvo.mixture({}), ValueError),
    (lambda: tarvo.material("Water").mu(0.1, method="cubic"), ValueError),
    (lambda: tarvo.material("Water").mu(0.1, unit="eV"), ValueError),
    (lambda: tarvo.material("Water").mu("abc"), TypeError),
    (lambda: tarvo.material("Water").mu("0.1"), TypeError),
    (lambda: tarvo.material("Water").mu(None), TypeError),
    (lambda: tarvo.material("Water").mu(True), TypeError),
    (lambda: tarvo.material("Water").mu(np.array([0.1 + 0j])), TypeError),
    (lambda: tarvo.material("Water").mu([0.1, None]), TypeError),
    (lambda: tarvo.material(True), TypeError),
    (lambda: tarvo.material(82.0), TypeError),
    (lambda: tarvo.material(93), KeyError),
    (lambda: tarvo.mixture("H2O"), TypeError),
    (lambda: tarvo.mixture([("H2O",)]), TypeError),
    (lambda: tarvo.mixture([("H2O", [0.5, 0.5])]), TypeError),
    (lambda: tarvo.compound("(" * 50000 + "H" + ")" * 50000), ValueError),
    (lambda: tarvo.material("Water").cross_sections(0.1, per_atom=True), ValueError),
    (lambda: tarvo.material("Water").energies_at(mu=0.1, mu_en=0.1), ValueError),
    (lambda: tarvo.material("Water").energies_at(mu=-1), ValueError),
    (lambda: tarvo.material("Water").save(), ValueError),
    (lambda: tarvo.compound("H2O").save(), ValueError),
    (lambda: tarvo.compound("H2O", density=1).save(category="bones"), ValueError),
    (lambda: tarvo.compound("H2O", density=1).save(file_name="../H2O"), ValueError),
    (lambda: tarvo.attenuation("H2O", 0.1, 1), KeyError),
    (lambda: tarvo.attenuation(tarvo.compound("H2O"), 0.1, 1), ValueError),
    (lambda: tarvo.attenuation("Water", 0.1, 1, unit="inch"), ValueError),
    (lambda: tarvo.table("Water", 0.0001, 1, 0.1), ValueError),
    (lambda: tarvo.table("Water", 0.001, 20, 1e-9), ValueError),
    (lambda: tarvo.set_data_directory("/nonexistent"), OSError),
])
def test_every_failure_is_a_python_exception(call, error):
    with pytest.raises(error) as raised:
        call()
    assert "--" not in str(raised.value), "a command-line option named to a Python caller"


def test_a_saved_mixture_is_the_tools_and_reads_back(tool, scratch_data):
    with pytest.warns(UserWarning, match="add up to"):
        brine = tarvo.mixture({"Water": 9, "NaCl": 1}, density=1.07, name="Brine 10%")
    paths = brine.save(category="other")
    assert [p.rsplit("/", 2)[-2:] for p in paths] == [["mix", "Brine_10_.mix3"],
                                                    ["mu_mix", "Brine_10_.muc3"]]
    for extension in ("mix3", "muc3"):
        out = scratch_data / f"tool.{extension}"
        done = tool("combine", "--mixture", "Water:0.9,NaCl:0.1", "--name", "Brine 10%",
                    "--density", "1.07", "--out", str(out), "--data", str(scratch_data),
                    json_output=False)
        assert done.returncode == 0, done.stderr
        saved = [p for p in paths if p.endswith(extension)][0]
        assert open(saved, "rb").read() == out.read_bytes()
    read_back = tarvo.material("Brine_10_")
    assert read_back.name == "Brine 10%" and read_back.density == 1.07
    np.testing.assert_allclose(read_back.mu(ENERGIES), brine.mu(ENERGIES), rtol=1e-3)
    with pytest.raises(FileExistsError):
        brine.save(category="other")
    assert len(brine.save(category="other", overwrite=True)) == 2
    with pytest.raises(PermissionError):
        tarvo.compound("H2O", density=1.0).save(category="phantom", file_name="Water")


# Arguments a method of each class would read if its object held a value.
TYPICAL_ARGUMENTS = {"mu": (0.1,), "mu_tr": (0.1,), "mu_en": (0.1,), "coefficients": (0.1,),
                     "cross_sections": (0.1,), "energies_at": (), "save": ("/dev/null",),
                     "filtered": ("Al:1mm",), "transmission": ("Al", 1.0), "hvl": ("Al",),
                     "tvl": ("Al",), "qvl": ("Al",), "homogeneity": ("Al",),
                     "effective_energy": ("Al",), "added_filter": ("Al", 3.0)}


@pytest.mark.parametrize("cls", [tarvo.Material, tarvo.Spectrum])
def test_an_object_made_without_init_is_refused_not_read(cls):
    """__new__ alone leaves no value behind the object: every method and property refuses
    it with a TypeError where it would otherwise read raw memory."""
    empty = cls.__new__(cls)
    for name, member in vars(cls).items():
        if name.startswith("_") and name not in ("__repr__", "__len__"):
            continue
        if isinstance(member, staticmethod):
            continue
        with pytest.raises(TypeError):
            if isinstance(member, property):
                getattr(empty, name)
            elif name == "energies_at":
                empty.energies_at(mu=1.0)
            else:
                getattr(empty, name)(*TYPICAL_ARGUMENTS.get(name, ()))
    if cls is tarvo.Material:
        with pytest.raises(TypeError):
            tarvo.attenuation(empty, 0.1, 1)


def test_what_a_script_hands_over_is_taken_as_meant():
    assert tarvo.material(82).name == "Lead" and tarvo.material(np.int64(8)).name == "Oxygen"
    pairs = tarvo.mixture([("H2O", 0.7), ("NaCl", 0.3)])
    assert pairs.composition == tarvo.mixture({"H2O": 0.7, "NaCl": 0.3}).composition
    masked = np.ma.masked_array([0.1, 0.2, 1.0], mask=[False, True, False])
    read = tarvo.material("Water").mu(masked)
    assert np.isnan(read[1]) and read[0] == tarvo.material("Water").mu(0.1)
    assert math.copysign(1.0, tarvo.thickness_for("Pb", 0.662, 1.0)) == 1.0
    assert tarvo.compound("H2O").density is None
    with pytest.raises(ValueError, match='"NaCl:-0.2" is not'):
        tarvo.mixture({"H2O": 0.7, "NaCl": -0.2})


def test_no_saved_table_hides_another(scratch_data):
    with pytest.raises(PermissionError, match="suite ships"):
        tarvo.compound("Pb", density=1, name="Water").save(category="human")
    with pytest.raises(PermissionError, match="name \"Lead\" is taken"):
        tarvo.compound("Pb", density=11.35, name="lead").save(file_name="Plumbum")
    tarvo.compound("Pb", density=11.35, name="Plumbum").save(category="other")
    with pytest.raises(FileExistsError, match="overwrite=True to let both"):
        tarvo.compound("Pb", density=11.35, name="Plumbum").save(category="human")
    tarvo.compound("Pb", density=11.35, name="Plumbum").save(category="human", overwrite=True)
    with pytest.raises(KeyError, match="names more than one table"):
        tarvo.material("Plumbum")
    assert tarvo.material("Water").mu(0.1) == pytest.approx(0.1707)
    assert tarvo.material(str(scratch_data / "mu_mix" / "Plumbum.muc3")).name == "Plumbum"


def test_warnings_turned_into_errors_reach_the_caller():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(UserWarning):
            tarvo.mixture({"Water": 2, "NaCl": 1})


def _parameters_in_docstring(function):
    """The parameter names of a pybind11 function, from the signature on its first line."""
    first = function.__doc__.splitlines()[0]
    inside = first[first.index("(") + 1:first.rindex(") ->")]
    names = []
    depth = 0
    part = ""
    for character in inside + ",":
        depth += character in "([{"
        depth -= character in ")]}"
        if character == "," and depth == 0:
            name = part.split(":")[0].strip().lstrip("*")
            if name and name != "self":
                names.append(name)
            part = ""
        else:
            part += character
    return names


def _stub_functions():
    """Every function of the type stubs, by its qualified name, with its parameter names."""
    import ast
    import pathlib

    stub = pathlib.Path(tarvo.__file__).parent / "_tarvo.pyi"
    found = {}
    tree = ast.parse(stub.read_text())
    for node in tree.body:
        scopes = [(node.name + ".", node.body)] if isinstance(node, ast.ClassDef) else [("", [node])]
        for prefix, body in scopes:
            for item in body:
                if isinstance(item, ast.FunctionDef):
                    arguments = item.args.posonlyargs + item.args.args + item.args.kwonlyargs
                    found[prefix + item.name] = [a.arg for a in arguments if a.arg != "self"]
    return found


def test_type_stubs_name_every_function_with_its_parameters():
    """Editors and type checkers see the signatures: the stubs follow the extension."""
    from tarvo import _tarvo

    stubs = _stub_functions()
    expected = {}
    for name in dir(_tarvo):
        value = getattr(_tarvo, name)
        if isinstance(value, type):
            for member, function in vars(value).items():
                if callable(function) and (not member.startswith("_") or member in ("__init__", "__len__")):
                    target = function.__func__ if isinstance(function, staticmethod) else function
                    expected[f"{name}.{member}"] = _parameters_in_docstring(target)
                elif isinstance(function, property):
                    expected[f"{name}.{member}"] = []
        elif callable(value) and not name.startswith("__"):
            expected[name] = _parameters_in_docstring(value)
    assert set(stubs) == set(expected)
    for name, parameters in expected.items():
        assert stubs[name] == parameters, name


@pytest.mark.parametrize("asked, usual", [
    (dict(unit="KEV", method="LogLog", side="ABOVE"), dict(unit="keV", method="loglog", side="above")),
    (dict(unit="mev", method="SPLINE", side="Below"), dict(unit="MeV", method="spline", side="below")),
])
def test_option_words_read_in_any_case_as_the_tool_reads_them(asked, usual):
    lead = tarvo.material("Pb")
    energy = 88.0045 if asked["unit"].lower() == "kev" else 0.0880045
    assert lead.mu(energy, **asked) == lead.mu(energy, **usual)
    table = tarvo.table("Water", 10, 20, 10, method="Spline-Tool", unit="KEV")
    np.testing.assert_array_equal(table["mu"], tarvo.table("Water", 10, 20, 10, method="spline-tool", unit="keV")["mu"])
    beam = tarvo.Spectrum.read(str(tarvo.data_directory() / "examples" / "beam.csv"))
    assert beam.hvl("Al", weighting="FLUENCE") == beam.hvl("Al", weighting="fluence")
    with pytest.raises(ValueError):
        lead.mu(0.1, side="both")


def test_eight_threads_read_as_one_thread_does():
    """Readings and beam quantities from eight threads at once equal the serial ones to the
    bit: the tables are shared, the spline routines keep their state per thread."""
    import concurrent.futures

    names = ["Water", "Pb", "Fe", "Bone_Cortical", "Air", "Cu", "Al", "I"]
    energies = np.exp(np.random.default_rng(33).uniform(np.log(0.001), np.log(20.0), 100000))
    beam = tarvo.Spectrum.read(str(tarvo.data_directory() / "examples" / "beam.csv"))

    def work(name):
        material = tarvo.material(name)
        return (material.coefficients(energies), material.mu(energies, method="loglog"),
                beam.hvl(name, unit="mm"), beam.filtered(f"{name}:0.1mm").mean_energy(),
                tarvo.compound("H2O").mu(energies[:1000]))

    serial = [work(name) for name in names]
    with concurrent.futures.ThreadPoolExecutor(max_workers=8) as pool:
        threaded = list(pool.map(work, names * 2))
    for index, result in enumerate(threaded):
        expected = serial[index % len(names)]
        for key in ("mu", "mu_tr", "mu_en"):
            assert np.array_equal(result[0][key], expected[0][key], equal_nan=True), names[index % 8]
        assert np.array_equal(result[1], expected[1], equal_nan=True)
        assert result[2] == expected[2] and result[3] == expected[3]
        assert np.array_equal(result[4], expected[4])
