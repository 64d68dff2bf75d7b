#!/usr/bin/env python3
"""Writes an installation tree for the purge benchmark, and the list of what
the uninstall must delete (relative Windows paths, one a line) for the
reference program.

About 1 file in 7 stays: desktops, list files, "Notes.Map" beside notes
folders, and what lies in the user's folders (notes and "2..." folders, and
user modules: "<stem>00" with a V03000 marker, with a sibling folder
"<stem>01" and "<stem>.map" beside them). One file in ten and one folder in
ten are read-only (a folder without write permission, as Wine shows one),
so that lifting the attribute is timed too. Names are in mixed case, as
installers write them.
"""
import argparse
import os
import random
import stat

READ_ONLY = stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH


class Folder:
    def __init__(self, name, parent, kind):
        self.name = name
        self.parent = parent
        self.kind = kind  # "plain", "user" (kept whole) or "root"
        self.files = []  # (name, kept)
        self.folders = []
        self.depth = 0 if parent is None else parent.depth + 1

    def kept_whole(self):
        folder = self
        while folder is not None:
            if folder.kind == "user":
                return True
            folder = folder.parent
        return False


def build(files, folders, rng):
    root = Folder("", None, "root")
    all_folders = [root]
    serial = 0

    def new_folder(parent, name, kind):
        folder = Folder(name, parent, kind)
        parent.folders.append(folder)
        all_folders.append(folder)
        return folder

    while len(all_folders) - 1 < folders:
        # Shallow, bushy trees as installations are: a parent among the
        # folders no deeper than five levels.
        parent = rng.choice(all_folders)
        while parent.depth >= 5:
            parent = parent.parent
        serial += 1
        roll = rng.random()
        if roll < 0.01 and parent.kind != "user":
            stem = "Mod%d" % serial
            module = new_folder(parent, stem + "00", "user")
            module.files.append(("V03000", True))
            new_folder(parent, stem + "01", "user")
            parent.files.append((stem + ".map", True))
        elif roll < 0.02:
            new_folder(parent, "Notes%d" % serial, "user")
            if not any(f[0] == "Notes.Map" for f in parent.files):
                parent.files.append(("Notes.Map", True))
        elif roll < 0.03:
            new_folder(parent, "2%d" % serial, "user")
        else:
            new_folder(parent, "Dir%d" % serial, "plain")

    extensions = [".dat", ".HLP", ".Dll", ".txt", ".IDX", ".Bin"]
    count = sum(len(f.files) for f in all_folders)
    serial = 0
    while count < files:
        folder = rng.choice(all_folders)
        serial += 1
        roll = rng.random()
        if roll < 0.03:
            name = "Desktop.%d" % serial
            kept = name not in ("Desktop.998", "Desktop.999")  # scratch desktops
        elif roll < 0.06:
            name, kept = "List%d.LST" % serial, True
        elif roll < 0.07:
            name, kept = "DESKTOP.999", False
        else:
            name, kept = "File%d%s" % (serial, rng.choice(extensions)), False
        if any(f[0] == name for f in folder.files):
            continue
        folder.files.append((name, kept))
        count += 1
    return root


def write(root, top, listing, rng):
    """Creates the tree below `top`; returns True when the folder keeps something."""

    def visit(folder, path, relative):
        keeps = False
        whole = folder.kept_whole()
        for name, kept in folder.files:
            file_path = os.path.join(path, name)
            with open(file_path, "wb") as f:
                f.write(b"x" * 64)
            if rng.random() < 0.1:
                os.chmod(file_path, READ_ONLY)
            if kept or whole:
                keeps = True
            else:
                listing.append(relative + name)
        for sub in folder.folders:
            sub_path = os.path.join(path, sub.name)
            os.mkdir(sub_path)
            sub_keeps = visit(sub, sub_path, relative + sub.name + "\\")
            if rng.random() < 0.1:  # once its contents are written
                os.chmod(sub_path, READ_ONLY | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
            if sub.kind == "user" or whole or sub_keeps:
                keeps = True
            if not whole and sub.kind == "plain":
                listing.append(relative + sub.name)  # emptied, and removed when it can be
        return keeps

    os.makedirs(top)
    visit(root, top, "")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True)
    parser.add_argument("--files", type=int, required=True)
    parser.add_argument("--folders", type=int, required=True)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--list", required=True)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    root = build(args.files, args.folders, rng)
    listing = []
    write(root, args.root, listing, rng)
    with open(args.list, "w", newline="\r\n") as f:
        f.write("\n".join(listing) + "\n")


if __name__ == "__main__":
    main()
