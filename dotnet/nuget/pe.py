"""The DLL names a Windows PE file imports and the function names it exports, read from its
headers with the standard library alone (the packer and the check run where no Windows tool is)."""

import struct


class PeFile:
    """A PE image in memory, with its sections for turning addresses into file offsets."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not a PE file (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file (no PE signature)")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        # The data directories follow the optional header's fixed part: 96 bytes in PE32, 112
        # in PE32+.
        directories = optional + (112 if magic == 0x20B else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(2)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8)
                         for i in range(sections)]

    def offset(self, rva):
        """The file offset of a relative virtual address."""
        for virtual_size, virtual_address, raw_size, raw_offset in self.sections:
            if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
                return raw_offset + rva - virtual_address
        raise ValueError(f"address {rva:#x} lies in no section")

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """The DLLs this image imports, in the order of its import table."""
        rva, size = self.directories[1]
        names = []
        if rva == 0 or size == 0:
            return names
        entry = self.offset(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, entry)
            if descriptor == (0, 0, 0, 0, 0):
                return names
            names.append(self.text(descriptor[3]))
            entry += 20

    def exports(self):
        """The names of the functions this image exports."""
        rva, size = self.directories[0]
        if rva == 0 or size == 0:
            return []
        directory = self.offset(rva)
        count, _, names_rva = struct.unpack_from("<III", self.data, directory + 24)
        names = self.offset(names_rva)
        return [self.text(struct.unpack_from("<I", self.data, names + 4 * i)[0])
                for i in range(count)]


def read(path):
    with open(path, "rb") as image:
        return PeFile(image.read())
