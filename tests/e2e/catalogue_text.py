"""Catalogue texts as a mirror serves them, for the end-to-end tests, the
fault run and the benchmarks: the header (version, update URL and size, the
message), one section per item with its file records, and the items block
that puts the items in groups and checks them."""


class Item:
    """An item's section: its name, its description ("About <name>." unless
    given) and its file records, each (folder, size, URL or list of URLs).
    Where the items block names it, it is checked when `checked`."""

    def __init__(self, name, records, description=None, checked=True):
        self.name = name
        self.records = records
        self.description = f"About {name}." if description is None else description
        self.checked = checked

    def section_lines(self):
        lines = [f"[{self.name}]", "{%s}" % self.description]
        for folder, size, urls in self.records:
            lines += ["-" + folder, str(size), urls if isinstance(urls, str) else " ".join(urls)]
        return lines

    def block_lines(self):
        return [f"[{self.name}]" + ("+" if self.checked else "")]


class Group:
    """A group of the items block holding items and groups, closed by "!"."""

    def __init__(self, name, *members):
        self.name = name
        self.members = members

    def block_lines(self):
        return [f"#{self.name};"] + [line for member in self.members for line in block_lines(member)] + ["!"]


def block_lines(node):
    # A plain string is a line of the block as it stands, for shapes no
    # group spells (e.g. one group opened many times on one line).
    return [node] if isinstance(node, str) else node.block_lines()


def catalogue_text(items, update_url, tree=None, message="Hi.", version="2.0.4", update_size=0, crlf=False):
    """The catalogue's bytes: the sections of `items` in their order, then
    the items block laid out as `tree` (items, groups and plain lines; by
    default every item at the top in section order). `message` None leaves
    out the message block; `crlf` ends every line with CR LF."""
    lines = ["v" + version, update_url, str(update_size)]
    if message is not None:
        lines += ["<message>", message, "</message>"]
    for item in items:
        lines += item.section_lines()
    lines.append("<items>")
    for node in items if tree is None else tree:
        lines += block_lines(node)
    text = "\n".join(lines) + "\n"
    return (text.replace("\n", "\r\n") if crlf else text).encode()
