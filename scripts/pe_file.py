"""Reads what the checks need from a PE file (setup.exe) without a Windows
machine: its resources (the manifest, the version resource) and the DLLs and
functions it delay-imports."""
import re
import struct


class PeFile:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        count = struct.unpack_from("<H", data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        self.pe32_plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
        directories = optional + (112 if self.pe32_plus else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        self.section_table = []  # (name, virtual size, raw size)
        for i in range(count):
            entry = optional + optional_size + 40 * i
            virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_size, raw_pointer))
            name = data[entry:entry + 8].rstrip(b"\0").decode("latin-1")
            self.section_table.append((name, virtual_size, raw_size))

    def offset(self, rva):
        """The file offset of rva, or None where no section holds it."""
        for virtual_address, size, raw_size, raw_pointer in self.sections:
            if virtual_address <= rva < virtual_address + min(size, raw_size):
                return raw_pointer + rva - virtual_address
        return None

    def string(self, rva):
        start = self.offset(rva)
        if start is None:
            return None
        end = self.data.find(b"\0", start)
        return self.data[start:end] if end != -1 else None


def read_resources(data):
    """Answers {(type, name, language): bytes} for every resource of data."""
    pe = PeFile(data)
    resource_rva, resource_size = pe.directories[2]
    resources = {}
    if resource_size == 0:
        return resources
    base = pe.offset(resource_rva)

    def walk(offset, path):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            key = name if not name & 0x80000000 else "name@%x" % (name & 0x7FFFFFFF)
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, path + (key,))
            else:
                rva, size = struct.unpack_from("<II", data, base + target)
                start = pe.offset(rva)
                resources[path + (key,)] = data[start:start + size]

    walk(0, ())
    return resources


def read_delay_imports(data):
    """Answers {(dll, function)} of the delay-import descriptors in data, and
    the set of those whose address slot is 0 (the first call would jump
    there: each slot must hold its stub until bound). The GNU linker does
    not fill the delay-import directory, so the descriptors are found by
    their shape: attributes 1 (addresses as RVAs), a DLL name, module
    handle, address and name tables, and three zero fields."""
    pe = PeFile(data)
    width, ordinal_flag = (8, 1 << 63) if pe.pe32_plus else (4, 1 << 31)
    imports, unbound = set(), set()
    for _, _, raw_size, raw_pointer in pe.sections:
        for at in range(raw_pointer, raw_pointer + raw_size - 31, 4):
            attributes, name, module, iat, int_, bound, unload, stamp = struct.unpack_from("<8I", data, at)
            if attributes != 1 or bound or unload or stamp:
                continue
            if None in (pe.offset(module), pe.offset(iat), pe.offset(int_)):
                continue
            dll = pe.string(name)
            if dll is None or not re.fullmatch(rb"[A-Za-z0-9_.-]+\.[dD][lL][lL]", dll):
                continue
            entry, slot = pe.offset(int_), pe.offset(iat)
            word = "<Q" if width == 8 else "<I"
            while True:
                value = struct.unpack_from(word, data, entry)[0]
                if value == 0:
                    break
                if not value & ordinal_flag:
                    function = (dll.decode().lower(), pe.string(value + 2).decode())
                    imports.add(function)
                    if struct.unpack_from(word, data, slot)[0] == 0:
                        unbound.add(function)
                entry += width
                slot += width
    return imports, unbound
