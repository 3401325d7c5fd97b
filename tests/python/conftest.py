"""Shared fixtures: the command-line tool beside the module, and a scratch run directory."""
import json
import os
import shutil
import subprocess
from pathlib import Path

import pytest

import tarvo


@pytest.fixture(scope="session")
def tool():
    """Runs `tarvo` with arguments and gives its JSON answer."""
    executable = os.environ.get("TARVO_EXECUTABLE") or shutil.which("tarvo")
    if not executable:
        pytest.skip("no tarvo executable to compare with")

    def run(*arguments, json_output=True):
        command = [executable, *arguments] + (["--json"] if json_output else [])
        done = subprocess.run(command, capture_output=True, text=True, check=False)
        return json.loads(done.stdout) if json_output else done

    run.executable = executable
    return run


@pytest.fixture()
def scratch_data(tmp_path):
    """A copy of the run directory's tables, read by the module for the test's length."""
    shipped = Path(tarvo.data_directory())
    for folder in ("ele", "mix", "mu_ele", "mu_mix"):
        shutil.copytree(shipped / folder, tmp_path / folder)
    tarvo.set_data_directory(tmp_path)
    yield tmp_path
    tarvo.set_data_directory(shipped)
