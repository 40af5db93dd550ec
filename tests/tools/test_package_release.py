"""Tests of tools/package_release.py over the built exe (ORVEK_TEST_EXE): the
zip, the sums and the signature that tools/release.sh writes."""
import glob
import os
import re
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import package_release  # noqa: E402

SCRIPT = os.path.join(ROOT, "tools", "package_release.py")
# An even number of seconds: zip entries hold time in steps of two.
EPOCH = 1765000000
PASSWORD = "throw-away password"
# Where the program's message box texts live, as WCHAR NAME_TEXT[] constants.
PROGRAM_FOLDERS = ("app", "ui", "device", "download")
# What the window itself shows; every other text of the program is one the
# user meets in a box or on the shutdown screen, which the README explains.
WINDOW_TEXTS = {"SWITCH_TO_DL_TEXT", "CONNECTED_TEXT", "UPDATED_TEXT", "DONE_BUTTON_TEXT", "PICTURE_TEXT",
                "DOWNLOAD_NOT_STARTED_TEXT", "DOWNLOADING_TEXT", "DOWNLOAD_COMPLETE_TEXT", "UPDATE_NOT_STARTED_TEXT",
                "UPDATING_TEXT", "UPDATE_COMPLETE_TEXT"}


def run_packer(exe, out, *options, env_extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("ORVEK_SIGN_")}
    env["SOURCE_DATE_EPOCH"] = str(EPOCH)
    env.update(env_extra or {})
    return subprocess.run([sys.executable, SCRIPT, "--exe", exe, "--out", out, *options],
                          env=env, capture_output=True, text=True)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class ReleasePackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.exe = os.environ.get("ORVEK_TEST_EXE")
        if not cls.exe or not os.path.isfile(cls.exe):
            raise AssertionError("ORVEK_TEST_EXE names no built exe: %r" % cls.exe)
        cls.tmp = tempfile.mkdtemp(prefix="orvek-package-test-")
        cls.version, strings = package_release.read_version_resource()
        cls.exe_name = strings["OriginalFilename"]
        cls.zip_name = "%s-%s-win32.zip" % (os.path.splitext(cls.exe_name)[0], cls.version)
        cls.dist = os.path.join(cls.tmp, "dist")
        result = run_packer(cls.exe, cls.dist)
        if result.returncode != 0:
            raise AssertionError("packing failed: %s" % result.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def make_certificate(self, folder):
        """A self-signed code-signing certificate and its .pfx."""
        key, cert, pfx = (os.path.join(folder, n) for n in ("key.pem", "cert.pem", "cert.pfx"))
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                        "-out", cert, "-days", "2", "-subj", "/CN=Orvek Throw-away Test Signer",
                        "-addext", "extendedKeyUsage=codeSigning"], check=True, capture_output=True)
        subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx,
                        "-passout", "pass:" + PASSWORD], check=True, capture_output=True)
        return cert, pfx

    def test_unsigned_release_has_the_same_bytes_from_another_place_and_time(self):
        elsewhere = os.path.join(self.tmp, "another", "place")
        os.makedirs(elsewhere)
        exe_copy = os.path.join(elsewhere, "copy-of-the-build.exe")
        shutil.copyfile(self.exe, exe_copy)
        os.chmod(exe_copy, 0o755)
        out = os.path.join(elsewhere, "dist-two")
        time.sleep(1)
        for attempt in range(2):
            result = run_packer(exe_copy, out)
            self.assertEqual(0, result.returncode, result.stderr)
            self.assertEqual(sorted([self.zip_name, self.exe_name, "SHA256SUMS"]), sorted(os.listdir(out)))
            for name in os.listdir(out):
                self.assertEqual(read(os.path.join(self.dist, name)), read(os.path.join(out, name)),
                                 "%s differs in run %d" % (name, attempt + 1))

    def test_zip_holds_the_exe_and_its_readme_dated_in_order_with_plain_permissions(self):
        with zipfile.ZipFile(os.path.join(self.dist, self.zip_name)) as archive:
            infos = archive.infolist()
            self.assertEqual([self.exe_name, "README.txt"], [i.filename for i in infos])
            for info in infos:
                self.assertEqual(time.gmtime(EPOCH)[:6], info.date_time, info.filename)
                self.assertEqual(stat.S_IFREG | 0o644, info.external_attr >> 16, info.filename)
            self.assertEqual(read(self.exe), archive.read(self.exe_name))
            readme = archive.read("README.txt")
        self.assertEqual(read(self.exe), read(os.path.join(self.dist, self.exe_name)))
        readme.decode("ascii")
        self.assertEqual(0, readme.replace(b"\r\n", b"").count(b"\n"), "line ends that are not CRLF")
        self.assertIn(("Version %s\r\n" % self.version).encode(), readme)
        self.assertNotIn(b"@", readme)

    def test_readme_quotes_every_message_box_text(self):
        texts = []
        sources = [p for folder in PROGRAM_FOLDERS for ext in ("*.h", "*.cpp")
                   for p in sorted(glob.glob(os.path.join(ROOT, folder, ext)))]
        for path in sources:
            with open(path, encoding="utf-8") as f:
                source = f.read()
            for name, literal in re.findall(r'WCHAR\s+(\w+_TEXT)\[\]\s*=\s*((?:L"[^"]*"\s*)+);', source):
                if name not in WINDOW_TEXTS:
                    texts.append((name, "".join(re.findall(r'L"([^"]*)"', literal))))
        self.assertGreaterEqual(len(texts), 6, "the message texts were not found in the sources")
        with open(package_release.USER_README, encoding="utf-8") as f:
            readme = " ".join(f.read().split())
        for name, text in texts:
            if " ".join(text.replace("\\n", " ").split()) not in readme:
                self.fail("docs/README.txt does not quote and explain %s: %r" % (name, text))

    def test_sums_verify_and_catch_a_changed_file(self):
        checked = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=self.dist, capture_output=True, text=True)
        self.assertEqual(0, checked.returncode, checked.stdout + checked.stderr)
        self.assertEqual(["%s: OK" % self.zip_name, "%s: OK" % self.exe_name], checked.stdout.splitlines())

        changed = os.path.join(self.tmp, "changed")
        shutil.copytree(self.dist, changed)
        exe = bytearray(read(os.path.join(changed, self.exe_name)))
        exe[len(exe) // 2] ^= 1
        with open(os.path.join(changed, self.exe_name), "wb") as f:
            f.write(exe)
        checked = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=changed, capture_output=True, text=True)
        self.assertNotEqual(0, checked.returncode)
        self.assertIn("%s: FAILED" % self.exe_name, checked.stdout)

    def test_signed_exe_verifies_with_its_certificate(self):
        folder = tempfile.mkdtemp(dir=self.tmp)
        cert, pfx = self.make_certificate(folder)
        password_file = os.path.join(folder, "password")
        with open(password_file, "w") as f:
            f.write(PASSWORD + "\n")
        unsigned = read(self.exe)
        ways = [("password in the environment", ["--pfx", pfx], {"ORVEK_SIGN_PASSWORD": PASSWORD}),
                ("password file", ["--pfx", pfx, "--password-file", password_file], {}),
                ("all in the environment", [], {"ORVEK_SIGN_PFX": pfx, "ORVEK_SIGN_PASSWORD": PASSWORD})]
        for way, options, env in ways:
            with self.subTest(way=way):
                out = os.path.join(folder, "dist-" + way.replace(" ", "-"))
                result = run_packer(self.exe, out, *options, env_extra=env)
                self.assertEqual(0, result.returncode, result.stderr)
                self.assertIn("is signed", result.stdout)
                self.assertNotIn(PASSWORD, result.stdout + result.stderr)
                signed = os.path.join(out, self.exe_name)
                verified = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", signed],
                                          capture_output=True, text=True)
                self.assertEqual(0, verified.returncode, verified.stdout + verified.stderr)
                self.assertIn("Orvek Throw-away Test Signer", verified.stdout)
                self.assertNotEqual(unsigned, read(signed))
                with zipfile.ZipFile(os.path.join(out, self.zip_name)) as archive:
                    self.assertEqual(read(signed), archive.read(self.exe_name))
                checked = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=out, capture_output=True)
                self.assertEqual(0, checked.returncode)
        self.assertEqual(unsigned, read(self.exe), "signing changed the build's own exe")

    def test_signing_that_cannot_be_done_writes_nothing(self):
        folder = tempfile.mkdtemp(dir=self.tmp)
        _, pfx = self.make_certificate(folder)
        # A port that is bound but not listening refuses connections.
        closed = socket.socket()
        closed.bind(("127.0.0.1", 0))
        self.addCleanup(closed.close)
        unreachable = "http://127.0.0.1:%d/" % closed.getsockname()[1]
        cases = [("wrong password", ["--pfx", pfx], {"ORVEK_SIGN_PASSWORD": "not it"}, "signing failed"),
                 ("no password", ["--pfx", pfx], {}, "password is missing"),
                 ("no certificate file", ["--pfx", pfx + ".missing"], {"ORVEK_SIGN_PASSWORD": PASSWORD},
                  "no certificate file"),
                 ("time-stamp server that does not answer", ["--pfx", pfx, "--timestamp-url", unreachable],
                  {"ORVEK_SIGN_PASSWORD": PASSWORD}, "signing failed"),
                 ("time-stamp server without a certificate", ["--timestamp-url", unreachable], {},
                  "without a certificate")]
        for case, options, env, message in cases:
            with self.subTest(case=case):
                out = os.path.join(folder, "dist-" + case.replace(" ", "-"))
                result = run_packer(self.exe, out, *options, env_extra=env)
                self.assertNotEqual(0, result.returncode)
                self.assertIn(message, result.stderr)
                self.assertEqual([], os.listdir(out) if os.path.isdir(out) else [])

    def test_versions_that_disagree_are_refused(self):
        with open(package_release.RC_FILE, encoding="utf-8") as f:
            rc = f.read()
        changes = [(r"(FILEVERSION\s+)\d+", r"\g<1>3"), (r"(PRODUCTVERSION\s+\d+,\s*)\d+", r"\g<1>7"),
                   (r'("FileVersion",\s*")[^"]*', r"\g<1>2.0.0.2"), (r'("ProductVersion",\s*")[^"]*', r"\g<1>2.0")]
        for pattern, replacement in changes:
            with self.subTest(change=replacement):
                changed, count = re.subn(pattern, replacement, rc, count=1)
                self.assertEqual(1, count, pattern)
                path = os.path.join(self.tmp, "changed.rc")
                with open(path, "w", encoding="utf-8") as f:
                    f.write(changed)
                with self.assertRaisesRegex(package_release.ReleaseError, "versions disagree"):
                    package_release.read_version_resource(path)


if __name__ == "__main__":
    unittest.main()
