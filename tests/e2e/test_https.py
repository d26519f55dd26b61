"""A program whose mirrors are "https://": the catalogue arrives over TLS
through Windows' own Schannel. (Under Wine, Schannel checks a certificate
only against a given authority, so the test's throw-away one passes.)"""
import os
import unittest

from harness import BUILD, Mirrors, TavrinRun, built_version

HTTPS_BUILD = os.path.join(BUILD, "https")
TITLE = "Tavrin " + built_version(HTTPS_BUILD)

CATALOGUE = b"""v2.0.4
https://localhost:1/none.exe
0
<message>
Over TLS.
</message>
[Config]
{A config.}
-
300
https://localhost:1/files/config.cfg
<items>
#Configs;
[Config]+
!
"""


class HttpsTest(unittest.TestCase):
    def test_the_catalogue_comes_from_an_https_mirror(self):
        with Mirrors(CATALOGUE, (None, "ok", None), build=HTTPS_BUILD), \
                TavrinRun(exe=os.path.join(HTTPS_BUILD, "Tavrin.exe")) as run:
            run.start()
            self.assertTrue(run.driver("wait-unlocked", "60", title=TITLE, timeout=90)[0] == 0)
            self.assertEqual(run.driver("tree", title=TITLE)[1], "[ ] Configs\n  [x] Config\n")
            self.assertEqual(run.driver("close", title=TITLE)[0], 0)
            self.assertEqual(run.wait_exit(), 0)
            log = run.file("log.txt").decode("cp1250").split("\r\n")
            self.assertIn("Config file downloading error: 7 (0/3)", log)
            self.assertIn("Config file downloaded ! (1/3)", log)


if __name__ == "__main__":
    unittest.main()
