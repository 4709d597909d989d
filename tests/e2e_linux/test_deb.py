"""The Debian package, installed on this machine with apt, checked from the installed paths
and by lintian, then purged: removal leaves nothing behind. Runs as root."""

import glob
import os
import stat
import subprocess
import unittest
import xml.etree.ElementTree as ElementTree

from linux_harness import BUILD_DIR, TITLE, WORK_DIR, Client, XServer, wait_for
from e2e_support.build import project_version
from test_host import Host

PACKAGE = "lumen-ribbon"
PACKAGES_DIR = os.environ.get("LR_PACKAGES_DIR", os.path.join(BUILD_DIR, "..", "packages"))
APT = ["apt-get", "-o", "DPkg::Lock::Timeout=900", "-y", "--no-install-recommends"]
QUIET = dict(stdin=subprocess.DEVNULL, capture_output=True, text=True,
             env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


VERSION = project_version(BUILD_DIR)
DEB = os.path.abspath(os.path.join(PACKAGES_DIR, "%s_%s_amd64.deb" % (PACKAGE, VERSION)))


def installed():
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", PACKAGE], **QUIET)
    return "installed" in result.stdout.split()


def contents():
    """The package's paths, files and folders, as they land in the file system."""
    listing = subprocess.run(["dpkg-deb", "-c", DEB], check=True, **QUIET).stdout
    paths = []
    for line in listing.splitlines():
        path = line.split(None, 5)[5].split(" -> ")[0]
        path = "/" + path.lstrip("./").rstrip("/")
        if path != "/":
            paths.append(path)
    return paths


def run_apt(*args):
    result = subprocess.run(APT + list(args), timeout=900, **QUIET)
    if result.returncode != 0:
        raise AssertionError("apt-get %s failed:\n%s%s" % (" ".join(args), result.stdout,
                                                           result.stderr))


def install_for(test_class):
    """Installs the package for the tests of a class, and purges it after them."""
    if not os.path.exists(DEB):
        raise AssertionError("%s is missing: run scripts/package.sh first" % DEB)
    if installed():
        raise AssertionError("%s is installed already: remove it before the test" % PACKAGE)
    test_class.paths = contents()
    test_class.addClassCleanup(subprocess.run, APT + ["purge", PACKAGE], timeout=900, **QUIET)
    run_apt("install", DEB)


class InstalledPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        install_for(cls)

    def executables(self):
        # A link to a program is not a program of its own.
        return [path for path in self.paths if os.path.isfile(path) and
                not os.path.islink(path) and os.stat(path).st_mode & stat.S_IXUSR]

    def test_every_program_answers_version_and_has_a_manual_page(self):
        programs = self.executables()
        self.assertIn("/usr/libexec/xscreensaver/lumen-ribbon", programs)
        for program in programs:
            with self.subTest(program):
                result = subprocess.run([program, "--version"], timeout=30, **QUIET)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(VERSION, result.stdout)
                name = os.path.basename(program)
                self.assertTrue(glob.glob("/usr/share/man/man[1-8]/%s.[1-8].gz" % name),
                                "manual page of " + name)

    def test_installed_host_runs_the_renderer_from_the_hack_folder(self):
        # Nothing lies beside /usr/bin/lumen-ribbon-host: the renderer is found where the
        # package puts it for XScreenSaver.
        self.assertIn("/usr/bin/lumen-ribbon-host", self.executables())
        config = os.path.join(WORK_DIR, "deb-config")
        os.makedirs(config, exist_ok=True)
        with XServer(WORK_DIR, size=(1024, 768)) as server:
            client = Client(server)
            with Host(server, config, "--run", program="/usr/bin/lumen-ribbon-host") as host:
                (renderer,) = wait_for(host.children, what="the renderer started")
                self.assertEqual(os.readlink("/proc/%d/exe" % renderer),
                                 "/usr/libexec/xscreensaver/lumen-ribbon")
                client.close_window(client.wait_window(TITLE))
                self.assertEqual(host.wait(), 0)
            client.close()

    def test_renderer_help_and_its_xscreensaver_settings(self):
        result = subprocess.run(["/usr/libexec/xscreensaver/lumen-ribbon", "--help"], timeout=30,
                                **QUIET)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("--root", result.stdout)
        config = ElementTree.parse("/usr/share/xscreensaver/config/lumen-ribbon.xml").getroot()
        self.assertEqual(config.tag, "screensaver")
        self.assertEqual(config.get("name"), "lumen-ribbon")
        self.assertEqual(config.find("command").get("arg"), "--root")

    def test_desktop_entries_start_packaged_programs_with_packaged_icons(self):
        # The savers' entries for other lockers are tried with those lockers (test_lockers).
        for entry in [path for path in self.paths if path.endswith(".desktop") and
                      os.path.dirname(path) == "/usr/share/applications"]:
            with self.subTest(entry):
                with open(entry, encoding="utf-8") as f:
                    keys = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
                program = "/usr/bin/" + keys["Exec"].split()[0]
                self.assertIn(program, self.executables())
                self.assertTrue([path for path in self.paths
                                 if path.startswith("/usr/share/icons/hicolor/") and
                                 os.path.splitext(os.path.basename(path))[0] == keys["Icon"]])

    def test_copyright_names_the_license(self):
        with open("/usr/share/doc/%s/copyright" % PACKAGE) as f:
            text = f.read()
        self.assertIn("The Lumen_Ribbon developers", text)
        self.assertIn("Permission is hereby granted", text)

    def test_lintian_reports_no_errors(self):
        result = subprocess.run(["lintian", "--fail-on", "error", DEB], timeout=300, **QUIET)
        print(result.stdout, end="")
        self.assertEqual(result.returncode, 0, result.stdout)


class Removal(unittest.TestCase):
    def test_purge_leaves_nothing_behind(self):
        if installed():
            raise AssertionError("%s is installed already: remove it before the test" % PACKAGE)
        paths = contents()
        existed = {path for path in paths if os.path.lexists(path)}
        run_apt("install", DEB)
        self.assertTrue(installed())
        run_apt("purge", PACKAGE)
        self.assertFalse(installed())
        self.assertEqual([path for path in paths if path not in existed and os.path.lexists(path)],
                         [])
        self.assertEqual(glob.glob("/var/lib/dpkg/info/%s.*" % PACKAGE), [])


if __name__ == "__main__":
    unittest.main()
