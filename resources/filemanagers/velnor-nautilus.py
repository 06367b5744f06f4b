# "Rename with Velnor…" in Nautilus's menu of selected files and folders
# (nautilus-python, Debian's python3-nautilus). Nautilus loads this file from
# /usr/share/nautilus-python/extensions/ at its start.
import os
import subprocess

import gi

try:
    gi.require_version("Nautilus", "4.0")
except ValueError:
    gi.require_version("Nautilus", "3.0")
from gi.repository import GLib, GObject, Nautilus  # noqa: E402

LABELS = {
    "de": "Mit Velnor umbenennen…",
    "es": "Renombrar con Velnor…",
    "fr": "Renommer avec Velnor…",
}
LABEL = "Rename with Velnor…"


def label():
    """The menu item's text in the first language the user asks for."""
    for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"):
        value = os.environ.get(variable)
        if value:
            for language in value.split(":"):
                text = LABELS.get(language.split("_")[0].split(".")[0])
                if text:
                    return text
            return LABEL
    return LABEL


def local_path(file_info):
    """The file's path as bytes, exactly as on disk, or None for a remote one.

    PyGObject hands a file name back as str decoded with surrogateescape, so
    os.fsencode gives back every byte, also of names that are not UTF-8."""
    path = file_info.get_location().get_path()
    if path is None:
        return None
    return os.fsencode(path)


def command(paths):
    """The program and its arguments as a list, never through a shell; "--"
    keeps a file named like an option a path."""
    return [b"velnor", b"--"] + list(paths)


def launch(paths):
    process = subprocess.Popen(
        command(paths),
        stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
        start_new_session=True,
    )
    # The window may run for long; its end is reaped, so it leaves no zombie.
    GLib.child_watch_add(GLib.PRIORITY_DEFAULT, process.pid, lambda *_: None)


class VelnorMenuProvider(GObject.GObject, Nautilus.MenuProvider):
    # Nautilus 43 passes (files); earlier versions (window, files).
    def get_file_items(self, *arguments):
        paths = [local_path(file_info) for file_info in arguments[-1]]
        if not paths or None in paths:
            return []
        item = Nautilus.MenuItem(
            name="Velnor::RenameWithVelnor",
            label=label(),
            tip="",
            icon="velnor",
        )
        item.connect("activate", lambda _item: launch(paths))
        return [item]
