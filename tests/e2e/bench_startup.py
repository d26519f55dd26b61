"""Prints the time from the program's start to unlocked controls under Wine,
for a catalogue of 2000 items in 100 groups, and for a catalogue of one item
as the baseline (Wine's own start-up)."""
import time

from harness import Mirrors, TavrinRun


def catalogue(groups, per):
    out = ["v2.0.4", "http://127.0.0.1:47001/none.exe", "0", "<message>", "Benchmark", "</message>"]
    items = ["<items>"]
    for g in range(groups):
        items.append(f"#Group {g};")
        for i in range(per):
            name = f"Item {g}-{i}"
            out += [f"[{name}]", "{A benchmark item.}", "-baseq3", "1000",
                    f"http://127.0.0.1:47001/files/{g}-{i}.zip"]
            items.append(f"[{name}]" + ("+" if i == 0 else ""))
        items.append("!")
    return ("\n".join(out + items) + "\n").encode()


def measure(label, groups, per):
    mirrors = Mirrors(catalogue(groups, per))
    run = TavrinRun()
    try:
        start = time.monotonic()
        run.start()
        run.wait_unlocked(60)
        seconds = time.monotonic() - start
        nodes = len(run.tree().splitlines())
        run.close()
        run.wait_exit(30)
    finally:
        run.cleanup()
        mirrors.stop()
    print(f"{label:<34} {seconds:6.2f} s  ({nodes} nodes)")


if __name__ == "__main__":
    print("from start to unlocked controls, under Wine:")
    measure("1 item (Wine's start-up)", 1, 1)
    measure("2000 items in 100 groups", 100, 20)
