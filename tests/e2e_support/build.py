"""Facts of a configured build tree."""

import os


def project_version(build_dir):
    """The CMake project version, as the build in build_dir was configured with it."""
    with open(os.path.join(build_dir, "CMakeCache.txt")) as cache:
        for line in cache:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return line.split("=", 1)[1].strip()
    raise AssertionError("no project version in the build's cache")
