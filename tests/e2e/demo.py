"""The demo: the sample catalogue on the first mirror with files of the sizes
it declares, Tavrin.exe started in a folder of its own with the paths set to
a pak0.pk3 and an installation folder beside it. With a display of the
caller's the window stays until it is closed; on a private display the demo
takes screenshots, installs the items the catalogue checks, and closes it.
Usage: demo.py <folder> [--screenshots]"""
import os
import shutil
import sys
import time

from harness import Mirrors, TavrinRun, sample_catalogue
from sample_files import files_for, with_build_ports

INSTALL_FOLDER = "Quake III Arena"


def prepare(folder):
    """The program in `folder` with a fresh log, settings pointing beside it
    and no earlier install."""
    os.makedirs(folder, exist_ok=True)
    if os.path.exists(os.path.join(folder, "log.txt")):
        os.remove(os.path.join(folder, "log.txt"))
    shutil.rmtree(os.path.join(folder, INSTALL_FOLDER), ignore_errors=True)
    pak0 = os.path.join(folder, "pak0.pk3")
    with open(pak0, "wb") as handle:
        handle.write(b"demo pak0.pk3\n" * 4096)
    run = TavrinRun(folder=folder)
    run.write_settings(os.path.join(folder, INSTALL_FOLDER), pak0, message=True)
    return run


def screenshots(run, folder):
    run.wait_unlocked(60)
    time.sleep(1)  # let the window paint
    run.screenshot(os.path.join(folder, "main_window.png"))
    run.driver("click", "About")
    run.driver("wait-window", "10", title="Tavrin 2")
    time.sleep(1)
    run.screenshot(os.path.join(folder, "about_dialog.png"))
    run.driver("click", "Ok", title="Tavrin 2")
    run.driver("gone", "10", title="Tavrin 2")

    code, out = run.install()
    print("install:", out.strip())
    # The catalogue's message follows the first run; the run, and the lock of
    # the controls, end when it is answered.
    if run.driver("wait-window", "10", title="Punk Buster info")[0] == 0:
        time.sleep(1)
        run.screenshot(os.path.join(folder, "catalogue_message.png"))
        run.driver("click", "OK", title="Punk Buster info")
        run.driver("gone", "10", title="Punk Buster info")
    time.sleep(1)
    run.screenshot(os.path.join(folder, "install_finished.png"))
    print("bars:", " ".join(run.driver("progress")[1].split()))
    run.close()
    run.wait_exit(30)
    print("screenshots:", *(os.path.join(folder, name)
                            for name in ("main_window.png", "about_dialog.png", "catalogue_message.png",
                                         "install_finished.png")))


def main():
    folder = os.path.abspath(sys.argv[1])
    run = prepare(folder)
    catalogue = with_build_ports(sample_catalogue())
    mirrors = Mirrors(catalogue, ("ok", None, None), files=files_for(catalogue))
    try:
        run.start()
        if "--screenshots" in sys.argv:
            screenshots(run, folder)
        else:
            run.process.wait()
    finally:
        if run.process and run.process.poll() is None:
            run.process.kill()
        mirrors.stop()


if __name__ == "__main__":
    main()
