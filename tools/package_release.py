#!/usr/bin/env python3
"""Packs a built OrvekUpdater.exe for download: signs it when a code-signing
certificate is given, and writes the zip a user downloads, the exe and
SHA256SUMS over both. The version and the exe's name come from the version
resource in res/OrvekUpdater.rc; the same inputs always give the same bytes,
apart from a signature's own signing time."""
import argparse
import hashlib
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RC_FILE = os.path.join(ROOT, "res", "OrvekUpdater.rc")
USER_README = os.path.join(ROOT, "docs", "README.txt")
SUMS_NAME = "SHA256SUMS"
# The earliest time a zip entry can hold.
ZIP_EPOCH = 315532800


class ReleaseError(Exception):
    pass


def read_version_resource(rc_path=RC_FILE):
    """Returns (version, strings) from the rc file's VERSIONINFO, after
    checking that its numeric and text versions agree."""
    with open(rc_path, encoding="utf-8") as f:
        text = f.read()
    numeric = {}
    for key in ("FILEVERSION", "PRODUCTVERSION"):
        m = re.search(r"^\s*%s\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*$" % key, text, re.M)
        if not m:
            raise ReleaseError("%s: no %s line" % (rc_path, key))
        numeric[key] = ".".join(str(int(part)) for part in m.groups())
    strings = dict(re.findall(r'^\s*VALUE\s+"(\w+)"\s*,\s*"([^"]*)"\s*$', text, re.M))
    found = {"FILEVERSION": numeric["FILEVERSION"], "PRODUCTVERSION": numeric["PRODUCTVERSION"],
             "FileVersion": strings.get("FileVersion"), "ProductVersion": strings.get("ProductVersion")}
    if len(set(found.values())) != 1:
        raise ReleaseError("%s: the versions disagree: %s" % (
            rc_path, ", ".join("%s %s" % item for item in sorted(found.items()))))
    for key in ("OriginalFilename", "FileDescription"):
        if not strings.get(key):
            raise ReleaseError("%s: no %s value" % (rc_path, key))
    return numeric["FILEVERSION"], strings


def source_date_epoch():
    """The time the release is dated with: SOURCE_DATE_EPOCH, or else the time
    of the checked-out commit."""
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is None:
        try:
            value = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], check=True,
                                   capture_output=True, text=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            raise ReleaseError("no SOURCE_DATE_EPOCH and no git commit to date the release with")
    try:
        return int(value)
    except ValueError:
        raise ReleaseError("the release date %r is not a number of seconds" % value)


def user_readme(version, path=USER_README):
    """The user's README.txt: the version filled in, Windows line ends, ASCII
    (Notepad on Windows 7 shows neither bare line feeds nor unmarked UTF-8)."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if "@VERSION@" not in text:
        raise ReleaseError("%s: no @VERSION@ to fill in" % path)
    text = text.replace("@VERSION@", version)
    try:
        data = text.encode("ascii")
    except UnicodeEncodeError as e:
        raise ReleaseError("%s: a character Notepad may not show, at offset %d" % (path, e.start))
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def sign(exe_in, exe_out, pfx, password, timestamp_url, description):
    """Signs exe_in into exe_out with osslsigncode; the password goes through a
    private file, never the command line."""
    with tempfile.TemporaryDirectory(prefix="orvek-sign-") as private:
        password_file = os.path.join(private, "password")
        fd = os.open(password_file, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
        with os.fdopen(fd, "w") as f:
            f.write(password)
        command = ["osslsigncode", "sign", "-pkcs12", pfx, "-readpass", password_file,
                   "-h", "sha256", "-n", description]
        if timestamp_url:
            command += ["-ts", timestamp_url]
        command += ["-in", exe_in, "-out", exe_out]
        result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise ReleaseError("signing failed:\n" + (result.stdout + result.stderr).strip())


def write_zip(path, entries, epoch):
    """Writes entries (name -> bytes) in name order, each with the same date
    and plain read/write permissions."""
    date_time = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            info.external_attr = (stat.S_IFREG | 0o644) << 16
            archive.writestr(info, entries[name], compresslevel=9)


def write_sums(out_dir, names):
    lines = []
    for name in sorted(names):
        with open(os.path.join(out_dir, name), "rb") as f:
            lines.append("%s  %s\n" % (hashlib.sha256(f.read()).hexdigest(), name))
    with open(os.path.join(out_dir, SUMS_NAME), "w", encoding="ascii", newline="\n") as f:
        f.writelines(lines)


def package(exe, out_dir, epoch, pfx=None, password=None, timestamp_url=None):
    """Writes the zip, the exe and SHA256SUMS into out_dir; returns their names.
    Nothing is written when signing fails."""
    version, strings = read_version_resource()
    exe_name = strings["OriginalFilename"]
    zip_name = "%s-%s-win32.zip" % (os.path.splitext(exe_name)[0], version)
    readme = user_readme(version)
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="orvek-release-") as work:
        shipped = os.path.join(work, exe_name)
        if pfx:
            sign(exe, shipped, pfx, password, timestamp_url, strings["FileDescription"])
        else:
            shutil.copyfile(exe, shipped)
        with open(shipped, "rb") as f:
            exe_bytes = f.read()
        write_zip(os.path.join(work, zip_name), {exe_name: exe_bytes, "README.txt": readme}, epoch)
        for name in (exe_name, zip_name):
            shutil.copyfile(os.path.join(work, name), os.path.join(out_dir, name))
            os.chmod(os.path.join(out_dir, name), 0o644)
    write_sums(out_dir, [exe_name, zip_name])
    return [zip_name, exe_name, SUMS_NAME]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", required=True, help="the built OrvekUpdater.exe")
    parser.add_argument("--out", required=True, help="the folder to write the release into")
    parser.add_argument("--pfx", default=os.environ.get("ORVEK_SIGN_PFX"),
                        help="code-signing certificate and key (.pfx); or ORVEK_SIGN_PFX")
    parser.add_argument("--password-file",
                        help="file holding the .pfx password; or the password in ORVEK_SIGN_PASSWORD")
    parser.add_argument("--timestamp-url", help="RFC 3161 time-stamp server; or ORVEK_SIGN_TIMESTAMP_URL")
    args = parser.parse_args(argv)
    timestamp_url = args.timestamp_url or os.environ.get("ORVEK_SIGN_TIMESTAMP_URL")
    try:
        password = None
        if args.pfx:
            if not os.path.isfile(args.pfx):
                raise ReleaseError("no certificate file %s" % args.pfx)
            if args.password_file:
                with open(args.password_file, encoding="utf-8") as f:
                    password = f.read().rstrip("\r\n")
            else:
                password = os.environ.get("ORVEK_SIGN_PASSWORD")
            if password is None:
                raise ReleaseError("the certificate's password is missing: give --password-file "
                                   "or ORVEK_SIGN_PASSWORD")
        elif args.password_file or args.timestamp_url:
            raise ReleaseError("a password or time-stamp server without a certificate: give --pfx "
                               "or ORVEK_SIGN_PFX")
        names = package(args.exe, args.out, source_date_epoch(), args.pfx, password, timestamp_url)
    except ReleaseError as e:
        print("release: %s" % e, file=sys.stderr)
        return 1
    for name in names:
        print("release: wrote %s" % os.path.join(args.out, name))
    print("release: the exe is %s" % ("signed" if args.pfx else "not signed"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
