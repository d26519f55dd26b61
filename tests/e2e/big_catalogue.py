"""Large catalogues for the benchmarks and the tree tests: 2000 items in
groups, and the 100,000 nested groups of the hardening test."""
from catalogue_text import Group, Item, catalogue_text

UPDATE_URL = "http://127.0.0.1:47001/none.exe"


def catalogue(groups, per, outer=0):
    """`groups` groups of `per` items, each group's first item checked; the
    first `outer` groups sit in one group "Half" of their own."""
    members = [[Item(f"Item {g}-{i}", [("baseq3", 1000, f"http://127.0.0.1:47001/files/{g}-{i}.zip")],
                     "A benchmark item.", checked=i == 0) for i in range(per)] for g in range(groups)]
    tree = [Group(f"Group {g}", *items) for g, items in enumerate(members)]
    if outer:
        tree = [Group("Half", *tree[:outer])] + tree[outer:]
    return catalogue_text([item for items in members for item in items], UPDATE_URL, tree=tree, message="Benchmark")


def nested_groups(count=100000):
    """One group "a" opened `count` times over: 64 deep, the rest side by
    side at the deepest level."""
    return catalogue_text([], UPDATE_URL, tree=["#a" + ";" * count], message=None)
