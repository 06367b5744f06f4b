"""The Nautilus extension, loaded with a stand-in for the gi module: its menu
item and the command it starts for names a shell or a decoder would break."""
import os
import sys
import types
import unittest
from unittest import mock

EXTENSION = sys.argv.pop(1)


def stand_in_gi():
    """Just what the extension touches of gi, GObject, GLib and Nautilus."""
    gi = types.ModuleType("gi")
    gi.versions = {}
    gi.require_version = lambda name, version: gi.versions.setdefault(name, version)
    repository = types.ModuleType("gi.repository")

    class MenuItem:
        def __init__(self, **properties):
            self.properties = properties
            self.handlers = {}

        def connect(self, signal, handler):
            self.handlers[signal] = handler

        def activate(self):
            self.handlers["activate"](self)

    repository.GObject = types.SimpleNamespace(GObject=type("GObject", (), {}))
    repository.Nautilus = types.SimpleNamespace(
        MenuProvider=type("MenuProvider", (), {}), MenuItem=MenuItem)
    repository.GLib = types.SimpleNamespace(
        PRIORITY_DEFAULT=0, child_watch_add=mock.Mock())
    gi.repository = repository
    return {"gi": gi, "gi.repository": repository}


class FileInfo:
    """A selected file as PyGObject shows it: get_path() gives str, its bytes
    decoded with surrogateescape, or None for a remote file."""

    def __init__(self, path):
        self.path = None if path is None else os.fsdecode(path)

    def get_location(self):
        return types.SimpleNamespace(get_path=lambda: self.path)


class NautilusExtensionTest(unittest.TestCase):
    def setUp(self):
        modules = stand_in_gi()
        patcher = mock.patch.dict(sys.modules, modules)
        patcher.start()
        self.addCleanup(patcher.stop)
        # Loaded as Nautilus loads it: the file run as a module of its own.
        self.extension = types.ModuleType("velnor_nautilus")
        self.extension.__file__ = EXTENSION
        with open(EXTENSION, encoding="utf-8") as source:
            exec(compile(source.read(), EXTENSION, "exec"), self.extension.__dict__)
        self.assertEqual(modules["gi"].versions, {"Nautilus": "4.0"})
        self.provider = self.extension.VelnorMenuProvider()

    def items(self, paths, language="C.UTF-8"):
        with mock.patch.dict(os.environ, {"LANG": language}, clear=True):
            return self.provider.get_file_items([FileInfo(p) for p in paths])

    def test_command_for_awkward_names(self):
        paths = [b"/home/u/-rf", b"/home/u/two\nlines.txt", b"/home/u/caf\xe9 au lait.jpg"]
        [item] = self.items(paths)
        with mock.patch("subprocess.Popen") as popen:
            popen.return_value.pid = 4242
            item.activate()
        argv = popen.call_args.args[0]
        self.assertEqual(argv, [b"velnor", b"--", b"/home/u/-rf", b"/home/u/two\nlines.txt",
                                b"/home/u/caf\xe9 au lait.jpg"])
        self.assertNotIn("shell", popen.call_args.kwargs)
        self.extension.GLib.child_watch_add.assert_called_once_with(0, 4242, mock.ANY)

    def test_label_follows_the_language(self):
        for language, label in [("C.UTF-8", "Rename with Velnor…"),
                                ("de_DE.UTF-8", "Mit Velnor umbenennen…"),
                                ("fr_FR.UTF-8", "Renommer avec Velnor…"),
                                ("es_ES.UTF-8", "Renombrar con Velnor…"),
                                ("pt_BR.UTF-8", "Rename with Velnor…")]:
            with self.subTest(language=language):
                [item] = self.items([b"/tmp/a"], language)
                self.assertEqual(item.properties["label"], label)
                self.assertEqual(item.properties["icon"], "velnor")

    def test_no_item_without_local_files(self):
        self.assertEqual(self.items([]), [])
        self.assertEqual(self.items([b"/tmp/a", None]), [])


if __name__ == "__main__":
    unittest.main()
