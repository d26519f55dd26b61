"""The demo: the sample catalogue on the first mirror, Tavrin.exe started in
a folder of its own. With a display of the caller's the window stays until
it is closed; on a private display the demo takes screenshots and closes it.
Usage: demo.py <folder> [--screenshots]"""
import os
import sys
import time

from harness import Mirrors, TavrinRun, sample_catalogue

SAMPLE_FILES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "sample_files")


def served_files():
    files = {}
    for top, _, names in os.walk(SAMPLE_FILES):
        for name in names:
            path = os.path.join(top, name)
            with open(path, "rb") as handle:
                files[os.path.join("files", os.path.relpath(path, SAMPLE_FILES))] = handle.read()
    return files


def main():
    folder = os.path.abspath(sys.argv[1])
    screenshots = "--screenshots" in sys.argv
    os.makedirs(folder, exist_ok=True)
    for name in ("log.txt", "settings.cfg"):
        if os.path.exists(os.path.join(folder, name)):
            os.remove(os.path.join(folder, name))
    mirrors = Mirrors(sample_catalogue(), ("ok", None, None), files=served_files())
    run = TavrinRun(folder=folder)
    try:
        run.start()
        if not screenshots:
            run.process.wait()
            return
        run.wait_unlocked(60)
        time.sleep(1)  # let the window paint
        run.screenshot(os.path.join(folder, "main_window.png"))
        run.driver("click", "About")
        run.driver("wait-window", "10", title="Tavrin 2")
        time.sleep(1)
        run.screenshot(os.path.join(folder, "about_dialog.png"))
        run.driver("click", "Ok", title="Tavrin 2")
        run.driver("gone", "10", title="Tavrin 2")
        run.close()
        run.wait_exit(30)
        print("screenshots:", os.path.join(folder, "main_window.png"), os.path.join(folder, "about_dialog.png"))
    finally:
        if run.process and run.process.poll() is None:
            run.process.kill()
        mirrors.stop()


if __name__ == "__main__":
    main()
