"""The pseudo-locale's texts: always what the generator makes from the current
English, with names, placeholders and escapes intact and room for longer
translations."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pseudo_translate  # noqa: E402


class PseudoTranslateTest(unittest.TestCase):
    def test_committed_file_is_what_the_english_makes(self):
        with open(pseudo_translate.SOURCE, encoding="utf-8") as f:
            made = pseudo_translate.generate(f.read())
        with open(pseudo_translate.TARGET, encoding="utf-8") as f:
            self.assertEqual(f.read(), made, "run tools/pseudo_translate.py")
        self.assertIn("\nLANGUAGE 0x101, 0x01\n", made)

    def test_names_placeholders_and_escapes_kept_and_text_longer(self):
        english = r'Stop Orvek Updater? Set Orvek to D/L, ""%d"" left.\n\nError %-5lu'
        text = pseudo_translate.pseudo(english)
        self.assertEqual((text[0], text[-1]), ("[", "]"))
        for kept in ["Orvek Updater?", "Orvek ţö D/L", '""%d""', r"\n\n", "%-5lu"]:
            self.assertIn(kept, text)
        self.assertNotRegex(re.sub(r"Orvek|Updater|D/L|%-5lu|%d|\\n", "", text), "[a-zA-Z]")
        # An escape or a doubled quote is one character on the screen.
        units = lambda s: len(re.sub(r'\\.|""', "_", s))
        self.assertAlmostEqual(units(text), units(english) * 1.4, delta=1)
