"""Large catalogues for the benchmarks and the tree tests: 2000 items in
groups, and the 100,000 nested groups of the hardening test."""


def catalogue(groups, per, outer=0):
    """`groups` groups of `per` items, each group's first item checked; the
    first `outer` groups sit in one group "Half" of their own."""
    out = ["v2.0.4", "http://127.0.0.1:47001/none.exe", "0", "<message>", "Benchmark", "</message>"]
    items = ["<items>"]
    if outer:
        items.append("#Half;")
    for g in range(groups):
        items.append(f"#Group {g};")
        for i in range(per):
            name = f"Item {g}-{i}"
            out += [f"[{name}]", "{A benchmark item.}", "-baseq3", "1000",
                    f"http://127.0.0.1:47001/files/{g}-{i}.zip"]
            items.append(f"[{name}]" + ("+" if i == 0 else ""))
        items.append("!")
        if outer and g + 1 == outer:
            items.append("!")
    return ("\n".join(out + items) + "\n").encode()


def nested_groups(count=100000):
    """One group "a" opened `count` times over: 64 deep, the rest side by
    side at the deepest level."""
    return ("v2.0.4\nhttp://127.0.0.1:47001/none.exe\n0\n<items>\n#a" + ";" * count + "\n").encode()
