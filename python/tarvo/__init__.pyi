# The package's public names, as the extension gives them.
from ._tarvo import (
    Material as Material,
    Spectrum as Spectrum,
    __version__ as __version__,
    attenuation as attenuation,
    compound as compound,
    data_directory as data_directory,
    material as material,
    materials as materials,
    mixture as mixture,
    set_data_directory as set_data_directory,
    table as table,
    thickness_for as thickness_for,
)
