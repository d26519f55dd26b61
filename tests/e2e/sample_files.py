"""Files for a catalogue's URLs, made on the spot: for every file record a
file of exactly its declared size, a real zip archive (padded with an archive
comment) for a ".zip" name, plain text otherwise. Also puts the build's mirror
ports in place of the catalogue's 47001 to 47003."""
import io
import re
import zipfile

from harness import MIRROR_PORTS

CATALOGUE_PORTS = (47001, 47002, 47003)


def with_build_ports(catalogue):
    """The catalogue text with every 127.0.0.1:4700N replaced by the build's port."""
    for named, port in zip(CATALOGUE_PORTS, MIRROR_PORTS):
        catalogue = catalogue.replace(b"127.0.0.1:%d/" % named, b"127.0.0.1:%d/" % port)
    return catalogue


def file_records(catalogue):
    """(folder, declared size, served paths) of every file record of the item
    sections; the paths are those of the record's URLs on the mirrors."""
    lines = catalogue.decode("cp1250").replace("\r\n", "\n").split("\n")
    items_at = lines.index("<items>") if "<items>" in lines else len(lines)
    records = []
    for i, line in enumerate(lines[:items_at]):
        if line.startswith("-") and i + 2 < items_at:
            size = int(lines[i + 1].split(";")[0])
            paths = [match.group(1) for match in
                     (re.match(r"http://[^/]+/(.+)$", url) for url in lines[i + 2].split(" ")) if match]
            records.append((line[1:], size, paths))
    return records


def archive_of_size(name, size):
    """A zip archive of exactly `size` bytes with a few entries named after `name`."""
    stem = name.rsplit("/", 1)[-1].split(".")[0]
    entries = {
        f"{stem}/readme.txt": f"{stem}: made by the Tavrin demo.\n".encode(),
        f"{stem}/config/{stem}.cfg": b"seta cg_fov 110\n",
        f"{stem}.txt": b"",
    }
    def build(comment):
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
            for entry, data in entries.items():
                archive.writestr(zipfile.ZipInfo(entry, (2010, 1, 1, 12, 0, 0)), data)
            archive.comment = comment
        return buffer.getvalue()

    padding = size - len(build(b""))
    if not 0 <= padding <= 0xFFFF:
        raise ValueError(f"no archive of {size} bytes for {name}")
    data = build(b"#" * padding)
    assert len(data) == size
    return data


def text_of_size(name, size):
    line = f"// {name}, made by the Tavrin demo\n".encode()
    return (line * (size // len(line) + 1))[:size]


def files_for(catalogue):
    """{served path: bytes} for every URL of the catalogue's file records."""
    files = {}
    for _, size, paths in file_records(catalogue):
        for path in paths:
            make = archive_of_size if ".zip" in path or ".ZIP" in path else text_of_size
            files[path] = make(path, size)
    return files
