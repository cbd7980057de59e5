#!/usr/bin/env python3
"""The winget manifests the Windows build writes, checked as the Windows Package Manager's
community repository would take them: the three files of one version where its layout puts
them, each with the fields its published schema (1.6.0) requires; and that they name the installer the build made, byte for byte (its SHA-256), with its product and
upgrade codes, version, scope and type as the .msi itself says.

  check-winget.py <winget folder> <installer.msi>
"""
import hashlib
import os
import subprocess
import sys

import yaml

REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
}

failures = []


def check(what, condition):
    if not condition:
        failures.append(what)


def main():
    folder, msi = sys.argv[1:3]
    manifests = {}
    for root, _, files in os.walk(os.path.join(folder, "manifests")):
        for name in files:
            with open(os.path.join(root, name), encoding="utf-8") as source:
                manifest = yaml.safe_load(source)
            manifests[manifest.get("ManifestType")] = (os.path.relpath(os.path.join(root, name), folder), manifest)
    check(f"one manifest of each type, not {sorted(manifests)}", sorted(manifests) == sorted(REQUIRED))
    for kind, (path, manifest) in manifests.items():
        for field in REQUIRED.get(kind, []):
            check(f"{path}: no {field}", field in manifest)
        check(f"{path}: schema {manifest.get('ManifestVersion')}", manifest.get("ManifestVersion") == "1.6.0")
    version = manifests["version"][1]
    identifier, number = version["PackageIdentifier"], version["PackageVersion"]
    publisher, name = identifier.split(".", 1)
    for kind, (path, manifest) in manifests.items():
        check(f"{path}: another package or version", (manifest["PackageIdentifier"], manifest["PackageVersion"])
              == (identifier, number))
        suffix = {"version": "", "installer": ".installer", "defaultLocale": f".locale.{version['DefaultLocale']}"}
        check(f"{path}: not where the community repository keeps it", path == os.path.join(
            "manifests", publisher[0].lower(), publisher, name, number, f"{identifier}{suffix[kind]}.yaml"))
    check("the default locale is the one the version names",
          manifests["defaultLocale"][1]["PackageLocale"] == version["DefaultLocale"])

    # What the installer says of itself.
    properties = dict(line.split("\t", 1) for line in subprocess.run(
        ["msiinfo", "export", msi, "Property"], capture_output=True, text=True, check=True).stdout.splitlines()
        if "\t" in line)
    with open(msi, "rb") as source:
        digest = hashlib.sha256(source.read()).hexdigest().upper()
    installer = manifests["installer"][1]
    (entry,) = installer["Installers"]
    (listed,) = installer["AppsAndFeaturesEntries"]
    check("the installer's SHA-256 is the .msi's", entry["InstallerSha256"].upper() == digest)
    check("the installer's address names the .msi over HTTPS", entry["InstallerUrl"].startswith("https://")
          and entry["InstallerUrl"].endswith("/" + os.path.basename(msi)))
    check("the product code is the .msi's", installer["ProductCode"] == listed["ProductCode"]
          == properties["ProductCode"])
    check("the upgrade code is the .msi's", listed["UpgradeCode"] == properties["UpgradeCode"])
    check("the version is the .msi's", number == listed["DisplayVersion"] == properties["ProductVersion"])
    check("what Apps & features shows", (listed["DisplayName"], listed["Publisher"]) ==
          (properties["ProductName"], properties["Manufacturer"]))
    check("an msi, for the whole machine, 64-bit", (installer["InstallerType"], installer["Scope"],
                                                    entry["Architecture"], properties.get("ALLUSERS"))
          == ("msi", "machine", "x64", "1"))
    for failure in failures:
        print(f"FAILED: {failure}")
    print(f"winget manifests of {identifier} {number}: {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
