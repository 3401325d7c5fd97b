"""Photon interaction data of the Tarvo suite, for NumPy.

Partial cross sections (coherent, incoherent, photo-electric, pair production) and the
mass attenuation, energy-transfer and energy-absorption coefficients of elements,
tissues, phantom materials and compounds, read from the tables the suite ships.

Energies are in MeV unless ``unit="keV"`` is given; coefficients and cross sections in
cm2/g (``per_atom=True``: b/atom); densities in g/cm3. Every reading takes a float or any
array-like and gives a float or a NumPy array of the same shape; an energy outside the
tables reads ``nan``. Points between the published rows are read by a not-a-knot cubic
spline in log-log between absorption edges (``method="spline"``, the default) or by the
viewers' straight lines in log-log (``method="loglog"``).

    >>> import tarvo
    >>> water = tarvo.material("Water")
    >>> water.mu(1.25)                      # cm2/g
    >>> tarvo.attenuation("Pb", 0.662, 2, unit="mm")["transmission"]

A beam is a ``Spectrum`` of bins (energies in keV by default, the field's habit):

    >>> beam = tarvo.Spectrum.read("build/run/examples/beam.csv").filtered("Al:2.5mm")
    >>> beam.hvl("Al", unit="mm"), beam.homogeneity("Al"), beam.effective_energy("Al")

Unknown names raise KeyError, bad input ValueError, files OSError.
"""

from . import _tarvo
from ._locations import run_directory as _run_directory
from ._tarvo import (
    Material,
    Spectrum,
    __version__,
    attenuation,
    compound,
    data_directory,
    material,
    materials,
    mixture,
    set_data_directory,
    table,
    thickness_for,
)

_tarvo._set_default_data_directory(str(_run_directory()))

__all__ = [
    "Material",
    "Spectrum",
    "attenuation",
    "compound",
    "data_directory",
    "material",
    "materials",
    "mixture",
    "set_data_directory",
    "table",
    "thickness_for",
]
