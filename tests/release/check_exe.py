#!/usr/bin/env python3
"""Checks what the built program tells Windows about itself: machine type,
subsystem, imported DLLs, icon group, manifest and version record.

Usage: check_exe.py EXE i386|amd64
"""
import struct
import sys
import unittest

SYSTEM_DLLS = {"ADVAPI32.DLL", "COMCTL32.DLL", "GDI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "OLE32.DLL",
               "OLEAUT32.DLL", "USER32.DLL"}
MACHINES = {"i386": 0x14C, "amd64": 0x8664}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class PeFile:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + rawptr
        raise ValueError(hex(rva))

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        rva = self.directories[1][0]
        names = []
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if not any(descriptor):
                return names
            names.append(self.cstring(descriptor[3]).upper())
            rva += 20

    def resources(self):
        """{(type, name): bytes} over every language."""
        base = self.directories[2][0]
        found = {}

        def walk(rva, path):
            at = self.offset(rva)
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                key = path + [ident if not ident & 0x80000000 else self.resource_name(base + (ident & 0x7FFFFFFF))]
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), key)
                else:
                    data_rva, size = struct.unpack_from("<II", self.data, self.offset(base + target))
                    found[(key[0], key[1])] = self.data[self.offset(data_rva):self.offset(data_rva) + size]

        walk(base, [])
        return found

    def resource_name(self, rva):
        at = self.offset(rva)
        length = struct.unpack_from("<H", self.data, at)[0]
        return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")


def version_blocks(data, at=0):
    """Parses one version block: (key, value bytes, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = data.index(b"\0\0", at + 6)
    while (end - at - 6) % 2:
        end = data.index(b"\0\0", end + 1)
    key = data[at + 6:end].decode("utf-16-le")
    value_at = (end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_size]
    children, child = [], (value_at + value_size + 3) & ~3
    while child < at + length:
        block = version_blocks(data, child)
        children.append(block[:3])
        child = (child + block[3] + 3) & ~3
    return key, value, children, length


class Executable(unittest.TestCase):
    pe = None
    arch = None

    def test_machine_and_subsystem(self):
        self.assertEqual(self.pe.machine, MACHINES[self.arch])
        self.assertEqual(self.pe.magic, 0x10B if self.arch == "i386" else 0x20B)
        self.assertEqual(self.pe.subsystem, 2, "Windows GUI subsystem")

    def test_imports_only_system_dlls(self):
        imports = set(self.pe.imports())
        self.assertTrue(imports, "no imports read")
        self.assertLessEqual(imports, SYSTEM_DLLS)

    def test_icon_group_of_three_images(self):
        resources = self.pe.resources()
        groups = [data for (kind, _), data in resources.items() if kind == RT_GROUP_ICON]
        self.assertEqual(len(groups), 1)
        _, kind, count = struct.unpack_from("<HHH", groups[0], 0)
        self.assertEqual((kind, count), (1, 3))
        entries = set()
        for i in range(count):
            width, height, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", groups[0], 6 + 14 * i)
            header = resources[(RT_ICON, icon_id)]
            self.assertEqual(struct.unpack_from("<Iii", header, 0), (40, width, 2 * height))
            entries.add((width, height, bits))
        self.assertEqual(entries, {(32, 32, 1), (32, 32, 4), (16, 16, 4)})

    def test_manifest_asks_for_common_controls_6_and_per_monitor_dpi(self):
        manifests = [data for (kind, _), data in self.pe.resources().items() if kind == RT_MANIFEST]
        self.assertEqual(len(manifests), 1)
        text = manifests[0].decode("utf-8")
        self.assertIn('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', text)
        self.assertIn("PerMonitorV2", text)
        self.assertIn("true/pm", text)

    def test_version_record(self):
        versions = [data for (kind, _), data in self.pe.resources().items() if kind == RT_VERSION]
        self.assertEqual(len(versions), 1)
        key, fixed, children, _ = version_blocks(versions[0])
        self.assertEqual(key, "VS_VERSION_INFO")
        (signature, _, file_ms, file_ls, product_ms, product_ls, _, flags, os, file_type,
         _, _, _) = struct.unpack("<13I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        self.assertEqual((file_ms, file_ls, product_ms, product_ls), (0x10001, 0, 0x10001, 0))
        self.assertEqual((flags, os, file_type), (0, 4, 1), "an application for 32-bit Windows")
        string_files = [c for c in children if c[0] == "StringFileInfo"]
        self.assertEqual(len(string_files), 1)
        tables = string_files[0][2]
        self.assertEqual([t[0] for t in tables], ["040704B0"])
        strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in tables[0][2]}
        self.assertEqual(strings, {
            "FileDescription": "Tool zum Ausfüllen von Schriftkopfdaten in Solidworksdokumenten",
            "FileVersion": "1.01",
            "InternalName": "blattkopf",
            "OriginalFilename": "blattkopf.exe",
            "ProductName": "blattkopf",
            "ProductVersion": "1.01",
        })
        translations = [c for c in children if c[0] == "VarFileInfo"][0][2]
        self.assertEqual(struct.unpack("<HH", translations[0][1]), (0x0407, 1200))


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        Executable.pe = PeFile(f.read())
    Executable.arch = sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
