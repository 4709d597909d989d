"""Private X servers for end-to-end tests, native or under Wine.

Xvfb is quick and can hold several screens, but it cannot switch display modes. Xorg with the
dummy video driver can: its output DUMMY0 switches through RandR like a real screen, and it
renders GLX through llvmpipe. Xorg needs root for a config file given by absolute path.

Every server finds a free display itself (-displayfd), keeps its files in a folder of the
caller's, and is ended by its own process id.
"""

import os
import shutil
import signal
import struct
import subprocess
import tempfile


def modeline(width, height, refresh=60):
    """The GTF timings of a mode, as an xorg.conf Modeline named "WxH"."""
    out = subprocess.run(["gtf", str(width), str(height), str(refresh), "-x"],
                         capture_output=True, text=True, check=True).stdout
    line = next(l for l in out.splitlines() if l.strip().startswith("Modeline"))
    timings = line.split('"')[2]
    return 'Modeline "%dx%d" %s' % (width, height, timings.strip())


def xorg_config(modes, hsync=(5.0, 1000.0), vrefresh=(5.0, 200.0), virtual=None):
    """A dummy-driver config whose screen starts in modes[0] and offers every mode listed.
    Narrow hsync/vrefresh ranges keep the driver's built-in modes out. `virtual` (w, h) makes
    the screen large enough for more than one monitor."""
    lines = "\n".join("  " + modeline(w, h) for w, h in modes)
    names = " ".join('"%dx%d"' % m for m in modes)
    if virtual:
        names += "\n    Virtual %d %d" % virtual
    return """Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync %.1f-%.1f
  VertRefresh %.1f-%.1f
%s
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes %s
  EndSubSection
EndSection
""" % (hsync[0], hsync[1], vrefresh[0], vrefresh[1], lines, names)


def end_process(process, timeout=30):
    """Ends a process the test started, by its id: asked first, killed when it does not go."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class XServer:
    """A private X server as a context manager: `display` is ":N" while it runs.

    kind "xvfb": `screens` screens of `size` each. kind "xorg": the dummy driver, starting in
    modes[0] (default: size) and offering every mode in `modes`. `without` names extensions the
    server leaves out, as "RANDR" (no mode can be switched) or "GLX" (no OpenGL).
    `second_monitor` (w, h), kind "xorg" only: a second monitor in that mode (one of `modes`)
    to the right of the primary one, as output DUMMY1.
    """

    def __init__(self, work_dir, kind="xvfb", size=(1024, 768), screens=1, modes=None,
                 hsync=(5.0, 1000.0), vrefresh=(5.0, 200.0), without=(), second_monitor=None):
        self.kind, self.size, self.screens = kind, size, screens
        self.second_monitor = second_monitor
        self.without = [arg for name in without for arg in ("-extension", name)]
        self.modes = list(modes or [size])
        self.hsync, self.vrefresh = hsync, vrefresh
        self.folder = tempfile.mkdtemp(prefix="x-", dir=work_dir)
        self.process = None
        self.display = None

    def command(self, fd):
        if self.kind == "xvfb":
            screens = []
            for n in range(self.screens):
                screens += ["-screen", str(n), "%dx%dx24" % self.size]
            return ["Xvfb", "-displayfd", str(fd), *screens, "-nolisten", "tcp", "-br",
                    "-nocursor", *self.without]
        config = os.path.join(self.folder, "xorg.conf")
        with open(config, "w") as f:
            virtual = None
            if self.second_monitor:
                widest = max(w for w, _ in self.modes)
                virtual = (widest + self.second_monitor[0],
                           max(h for _, h in self.modes + [self.second_monitor]))
            f.write(xorg_config(self.modes, self.hsync, self.vrefresh, virtual))
        return ["Xorg", "-config", config, "-noreset", "-nolisten", "tcp", "-logfile",
                os.path.join(self.folder, "x.log"), "-displayfd", str(fd), *self.without]

    def __enter__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(self.command(write_fd), pass_fds=(write_fd,),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            self.process.kill()
            self.process.wait()
            raise RuntimeError("%s did not start (see %s)" % (self.kind, self.folder))
        self.display = ":" + number
        if self.second_monitor:
            self.add_monitor("DUMMY1", self.second_monitor, right_of="DUMMY0")
        return self

    def add_monitor(self, output, size, right_of):
        mode = "%dx%d" % size
        self.run("xrandr", "--addmode", output, mode)
        self.run("xrandr", "--output", output, "--mode", mode, "--right-of", right_of)

    def remove_monitor(self, output):
        self.run("xrandr", "--output", output, "--off")

    def monitors(self):
        """`xrandr --listmonitors` without its count line: the layout, to compare."""
        return self.run("xrandr", "--listmonitors").splitlines()[1:]

    def __exit__(self, *exc):
        end_process(self.process)
        shutil.rmtree(self.folder, ignore_errors=True)

    def env(self, base=None, screen=None):
        """The environment with DISPLAY set to this server (and one screen of it)."""
        env = dict(os.environ if base is None else base)
        env["DISPLAY"] = self.display if screen is None else "%s.%d" % (self.display, screen)
        return env

    def run(self, *args, timeout=30):
        """Runs an X client on this server and returns its standard output."""
        return subprocess.run(list(args), env=self.env(), capture_output=True, text=True,
                              timeout=timeout, check=True).stdout

    def mode(self):
        """(width, height) of the primary output's current mode, or None when it has none."""
        for line in self.run("xrandr", "--query").splitlines():
            if " connected" in line and "+" in line:
                geometry = next(w for w in line.split() if "+" in w and "x" in w)
                width, rest = geometry.split("x", 1)
                return int(width), int(rest.split("+", 1)[0])
        return None

    def output_modes(self):
        """Names of the modes the primary output offers, as xrandr lists them."""
        names, in_output = [], False
        for line in self.run("xrandr", "--query").splitlines():
            if not line.startswith(" "):
                in_output = " connected" in line
            elif in_output:
                names.append(line.split()[0])
        return names

    def screenshot(self, screen=0, window="root", save_as=None):
        """The screen (or a window, by id) from xwd's dump; save_as also writes it as a
        picture file (PNG by its name) through ImageMagick."""
        target = ["-root"] if window == "root" else ["-id", str(window)]
        dump = subprocess.run(["xwd", "-silent", *target], env=self.env(screen=screen),
                              capture_output=True, timeout=60, check=True).stdout
        if save_as:
            subprocess.run(["convert", "xwd:-", save_as], input=dump, check=True, timeout=60)
        return XwdPicture(dump)


class XwdPicture:
    """An xwd dump of 24 or 32 bits per pixel, decoded only where it is looked at, with the
    pixel access of the harness's Bitmap."""

    def __init__(self, data):
        (header, _version, _format, _depth, self.width, self.height, _offset, order, _unit,
         _bit_order, _pad, bits, self.line_bytes, _class, *masks) = struct.unpack_from(">17I", data)
        colours = struct.unpack_from(">I", data, 19 * 4)[0]
        self.data, self.start = data, header + colours * 12
        self.step, self.order = bits // 8, "little" if order == 0 else "big"
        self.shifts = [(m & -m).bit_length() - 1 for m in masks]

    def pixel(self, x, y):
        at = self.start + y * self.line_bytes + x * self.step
        value = int.from_bytes(self.data[at:at + self.step], self.order)
        return tuple((value >> s) & 0xFF for s in self.shifts)

    def pixels(self, step=1, box=None):
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        for y in range(top, bottom, step):
            for x in range(left, right, step):
                yield self.pixel(x, y)
