"""Our profile reader and writer (build/linux/probes/profile_probe) against the system's
GetPrivateProfileStringA and WritePrivateProfileStringA under Wine
(build/windows/probes/profile_probe.exe): the same tricky files and the same writes, every
answer compared."""

import os
import shutil
import subprocess
import tempfile
import unittest

from harness import BUILD_DIR, E2E_DIR, JAPANESE, WINE, WineTestCase, base_env, windows_path

WINE_PROBE = os.path.join(BUILD_DIR, "probes", "profile_probe.exe")
NATIVE_PROBE = os.path.join(
    os.environ.get("LR_LINUX_BUILD_DIR", os.path.join(os.path.dirname(BUILD_DIR), "linux")),
    "probes", "profile_probe")

KIND = b"BGM\x8b\xe6\x95\xaa"            # BGM区分 in Shift_JIS
REPEAT = b"BGM\xd8\xcb\xdf\xb0\xc4"      # BGMﾘﾋﾟｰﾄ
FILE = b"BGM\xcc\xa7\xb2\xd9"            # BGMﾌｧｲﾙ
SJIS_PATH = b"C:\\\x89\xb9\x8ay\\\x8b\xc8.mp3"  # C:\音楽\曲.mp3

LONG = {n: bytes(ord("a") + i % 26 for i in range(n)) for n in (254, 255, 256, 300)}

# name -> (file bytes, [(section, key), ...]).
CORPUS = {
    "plain": (b"[Section]\r\n" + KIND + b"= 2\r\n" + REPEAT + b"= 0\r\n" + FILE + b"=" +
              SJIS_PATH + b"\r\n", [(b"Section", KIND), (b"Section", REPEAT),
                                    (b"Section", FILE), (b"Section", b"Nothing")]),
    "case": (b"[sEcTiOn]\r\nbgm\x8b\xe6\x95\xaa=1\r\nKey=Upper\r\n",
             [(b"Section", KIND), (b"SECTION", b"key"), (b"section", b"KEY"), (b"Sect", b"Key")]),
    "blanks": (b"  [ \tSection  ]  \r\n\t Key \t=\t  value with  inner  blanks \t \r\n"
               b" Empty = \r\nNoEquals\r\n\x1aSub\x1a=\x1azed\x1a\r\n\x0bVt\x0c=\x0cff\x0b\r\n",
               [(b"Section", b"Key"), (b"Section", b"Empty"), (b"Section", b"NoEquals"),
                (b"  Section ", b" Key\t"), (b"Section", b"Sub"), (b"Section", b"Vt")]),
    "quotes": (b'[Section]\r\nd="double"\r\ns=\'single\'\r\nmixed="mixed\'\r\none="\r\n'
               b'two=""\r\ninner=a"b"\r\nspaced= " spaced " \r\nleft="abc\r\n',
               [(b"Section", k) for k in (b"d", b"s", b"mixed", b"one", b"two", b"inner",
                                          b"spaced", b"left")]),
    "comments": (b"; leading comment\r\n[Section]\r\n;Key=commented\r\nKey=real\r\n# hash=1\r\n"
                 b"x2=2 ; not a comment\r\n",
                 [(b"Section", b"Key"), (b"Section", b";Key"), (b"Section", b"x2"),
                  (b"Section", b"# hash"), (b"Section", b"leading comment")]),
    "missing-section": (b"[Other]\r\nKey=other\r\n",
                        [(b"Section", b"Key"), (b"Other", b"Key")]),
    "empty": (b"", [(b"Section", KIND)]),
    "duplicates": (b"[Section]\r\nKey=first\r\nkey=second\r\n[Other]\r\nA=1\r\n[section]\r\n"
                   b"Key=third\r\nLate=only in the second\r\n",
                   [(b"Section", b"Key"), (b"Section", b"Late"), (b"Other", b"A")]),
    "cr-only": (b"[Section]\rKey=cr\rNext=two\r", [(b"Section", b"Key"), (b"Section", b"Next")]),
    "lf-only": (b"[Section]\nKey=lf\nNext=two\n", [(b"Section", b"Key"), (b"Section", b"Next")]),
    "mixed-ends": (b"[Section]\r\n\r\nKey=mixed\n\rNext=x\rLast=no end",
                   [(b"Section", b"Key"), (b"Section", b"Next"), (b"Section", b"Last")]),
    "bom": (b"\xef\xbb\xbf[Section]\r\nKey=bom\r\n", [(b"Section", b"Key")]),
    "bom-top-key": (b"\xef\xbb\xbfTop=top\r\n[Section]\nKey=b\n",
                    [(b"", b"Top"), (b"Section", b"Key"), (b"Section", b"Top")]),
    "bom-cr-only": (b"\xef\xbb\xbf[Section]\rKey=bom cr\r", [(b"Section", b"Key")]),
    "long": (b"[Section]\r\n" + b"".join(b"v%d=%s\r\n" % (n, v) for n, v in LONG.items()) +
             b"".join(b"q%d=\"%s\"\r\n" % (n, v) for n, v in LONG.items()),
             [(b"Section", b"%s%d" % (kind, n)) for kind in (b"v", b"q") for n in LONG]),
}

# Starting files for the writes; each gets the host's three keys, then the kind once more. A file
# with a UTF-8 byte-order mark is one the system re-encodes as a whole, so it only gets ASCII.
WRITES = [(b"Section", KIND, b" 2"), (b"Section", REPEAT, b" 0"), (b"Section", FILE, SJIS_PATH),
          (b"Section", KIND, b" 1"), (b"Section", b"K", b"  lead")]
ASCII_WRITES = [(b"Section", b"Kind", b" 2"), (b"Section", b"Path", b"/home/u/music/a b.mp3"),
                (b"section", b"KIND", b" 1")]
READ_BACK = [(b"Section", k) for k in (KIND, REPEAT, FILE, b"K", b"Old", b"Kind", b"Path")] + [
    (b"Other", b"A"), (b"Tail", b"B"), (b"Section", b"; keep me"), (b"SECTION", b"k")]
WRITE_STARTS = {
    "new-file": (None, WRITES),
    "other-lines": (b"; settings\r\n[Other]\r\nA=1\r\n\r\n[section]\r\nbgm\x8b\xe6\x95\xaa = 1 "
                    b"\r\n; keep me\r\n\r\n[Tail]\r\nB=2\r\n", WRITES),
    "cr-only": (b"[Section]\rOld=1\r", WRITES),
    "duplicates": (b"[Section]\r\nK=a\r\nk=b\r\n[SECTION]\r\nK=c\r\n", WRITES),
    "no-final-end": (b"[Other]\r\nA=1", WRITES),
    "bom-lf": (b"\xef\xbb\xbf[Section]\nOld=7\n", ASCII_WRITES),
}


def significant_lines(data):
    """The file's lines without blanks, leaving out empty ones (the system drops those)."""
    return [line.replace(b" ", b"") for line in data.split(b"\r\n") if line.strip()]


def hexed(data):
    return data.hex() if data else "-"


class Probe:
    """Runs one batch of commands through one of the two probes."""

    def __init__(self, work, native, env):
        self.work, self.native, self.env = work, native, env

    def path(self, file):
        return (os.path.abspath(file) if self.native else windows_path(file)).encode()

    def run(self, commands):
        command_file = tempfile.NamedTemporaryFile("w", dir=self.work, delete=False)
        with command_file:
            command_file.write("".join(" ".join(c) + "\n" for c in commands))
        answer_file = command_file.name + ".out"
        program = [NATIVE_PROBE] if self.native else [WINE, WINE_PROBE]
        subprocess.run(program + [command_file.name, answer_file], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)
        with open(answer_file) as f:
            return f.read().splitlines()

    def get(self, queries):
        """queries: (file, section, key) -> list of answer bytes."""
        lines = self.run([("get", hexed(self.path(f)), hexed(s), hexed(k)) for f, s, k in queries])
        return [b"" if answer == "-" else bytes.fromhex(answer) for answer in lines]

    def put(self, writes):
        """writes: (file, section, key, value) -> list of results."""
        return [int(line) for line in self.run(
            [("put", hexed(self.path(f)), hexed(s), hexed(k), hexed(v)) for f, s, k, v in writes])]


class ProfileAgreement(WineTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not os.path.exists(NATIVE_PROBE):
            raise AssertionError("the native build is missing: %s" % NATIVE_PROBE)
        os.makedirs(E2E_DIR, exist_ok=True)
        cls.work = tempfile.mkdtemp(prefix="profile-", dir=E2E_DIR)
        env = base_env(locale=JAPANESE)
        cls.wine = Probe(cls.work, False, env)
        cls.ours = Probe(cls.work, True, env)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.wine.env, timeout=60)
        shutil.rmtree(cls.work, ignore_errors=True)

    def corpus_file(self, name, data):
        path = os.path.join(self.work, "corpus", name + ".ini")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def assertSameAnswers(self, queries, labels):
        wine, ours = self.wine.get(queries), self.ours.get(queries)
        self.assertEqual(len(wine), len(queries))
        differences = {label: (w, o) for label, w, o in zip(labels, wine, ours) if w != o}
        self.assertEqual(differences, {})
        return dict(zip(labels, ours))

    def test_reads_agree_on_every_tricky_file(self):
        files = {name: self.corpus_file(name, data) for name, (data, _) in CORPUS.items()}
        files["missing-file"] = os.path.join(self.work, "corpus", "no such file.ini")
        queries, labels = [], []
        for name, (_, asked) in CORPUS.items():
            for section, key in asked:
                queries.append((files[name], section, key))
                labels.append((name, section, key))
        queries.append((files["missing-file"], b"Section", KIND))
        labels.append(("missing-file", b"Section", KIND))
        answers = self.assertSameAnswers(queries, labels)

        # The corpus really exercises the rules: a few of the answers both sides gave.
        self.assertEqual(answers[("plain", b"Section", KIND)], b"2")
        self.assertEqual(answers[("plain", b"Section", FILE)], SJIS_PATH)
        self.assertEqual(answers[("case", b"section", b"KEY")], b"Upper")
        self.assertEqual(answers[("quotes", b"Section", b"d")], b"double")
        self.assertEqual(answers[("duplicates", b"Section", b"Key")], b"first")
        self.assertEqual(answers[("duplicates", b"Section", b"Late")], b"")
        self.assertEqual(answers[("cr-only", b"Section", b"Next")], b"two")
        self.assertEqual(answers[("bom", b"Section", b"Key")], b"bom")
        # Whole values, also beyond the host's 255 bytes and when quoted.
        self.assertEqual(answers[("long", b"Section", b"v300")], LONG[300])
        self.assertEqual(answers[("long", b"Section", b"q255")], LONG[255])

    def test_writes_agree_when_read_back_by_both_readers(self):
        written = {}
        for writer in (self.wine, self.ours):
            side = "wine" if writer is self.wine else "ours"
            for name, (start, writes) in WRITE_STARTS.items():
                path = os.path.join(self.work, "writes", side, name + ".ini")
                os.makedirs(os.path.dirname(path), exist_ok=True)
                if start is not None:
                    with open(path, "wb") as f:
                        f.write(start)
                results = writer.put([(path, s, k, v) for s, k, v in writes])
                self.assertEqual(results, [1] * len(writes), (side, name))
                written[side, name] = path

        for name in WRITE_STARTS:
            queries = [(written[side, name], s, k) for side in ("wine", "ours")
                       for s, k in READ_BACK]
            labels = [(name, side, s, k) for side in ("wine", "ours") for s, k in READ_BACK]
            answers = self.assertSameAnswers(queries, labels)
            for s, k in READ_BACK:
                self.assertEqual(answers[name, "wine", s, k], answers[name, "ours", s, k],
                                 (name, s, k))
            kind = KIND if WRITE_STARTS[name][1] is WRITES else b"Kind"
            self.assertEqual(answers[name, "ours", b"Section", kind], b"1", name)
            if kind == KIND:
                self.assertEqual(answers[name, "ours", b"Section", FILE], SJIS_PATH, name)
            with open(written["ours", name], "rb") as f:
                ours = f.read()
            with open(written["wine", name], "rb") as f:
                wine = f.read()
            # Line ends are CR LF throughout; the files differ only in blanks and empty lines.
            self.assertNotIn(b"\n", ours.replace(b"\r\n", b""), name)
            self.assertNotIn(b"\r", ours.replace(b"\r\n", b""), name)
            self.assertEqual(significant_lines(ours), significant_lines(wine), name)

    def test_a_write_that_cannot_be_done_fails_on_both(self):
        blocker = os.path.join(self.work, "a plain file")
        with open(blocker, "w") as f:
            f.write("not a folder")
        folder_in_the_way = os.path.join(self.work, "a folder.ini")
        os.makedirs(folder_in_the_way, exist_ok=True)
        for target in (os.path.join(blocker, "Lumen_Ribbon.ini"), folder_in_the_way):
            for writer in (self.wine, self.ours):
                self.assertEqual(writer.put([(target, b"Section", KIND, b" 1")]), [0], target)
        self.assertEqual(os.listdir(folder_in_the_way), [])

    def test_our_writer_makes_the_folder_and_replaces_the_file_whole(self):
        folder = os.path.join(self.work, "config", "lumen-ribbon")
        target = os.path.join(folder, "Lumen_Ribbon.ini")
        self.assertEqual(self.ours.put([(target, s, k, v) for s, k, v in WRITES]), [1] * 5)
        self.assertEqual(os.listdir(folder), ["Lumen_Ribbon.ini"], "no temporary file is left")
        self.assertEqual(os.stat(folder).st_mode & 0o777, 0o700)
        self.assertEqual(self.ours.get([(target, b"Section", REPEAT)]), [b"0"])

        # Something other than a file in its place is neither waited on nor replaced.
        pipe = os.path.join(self.work, "pipe.ini")
        os.mkfifo(pipe)
        self.assertEqual(self.ours.get([(pipe, b"Section", KIND)]), [b""])
        self.assertEqual(self.ours.put([(pipe, b"Section", KIND, b" 1")]), [0])


if __name__ == "__main__":
    unittest.main()
