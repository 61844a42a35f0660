#!/usr/bin/env python3
"""Compiles every source under the given folders again with Debian's clang, for the
same mingw-w64 target and with the build's own flags, and fails on any warning.
Compiling is enough: linking would need GCC's library paths.
    check_second_compiler.py compile_commands.json SOURCE_DIR FOLDER...
"""
import json
import os
import shlex
import subprocess
import sys

commands, source, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
roots = tuple(os.path.join(source, folder) + os.sep for folder in folders)
failed = 0
checked = 0
for entry in json.load(open(commands)):
    if not entry["file"].startswith(roots):
        continue
    args = shlex.split(entry["command"])
    gcc, target = args[0], os.path.basename(args[0]).split("-g++")[0]
    # clang does not find GCC's libstdc++ for this target by itself; GCC names it.
    verbose = subprocess.run([gcc, "-E", "-x", "c++", "-v", "-"], input="", capture_output=True, text=True).stderr
    listed = verbose.split("#include <...> search starts here:")[1].split("End of search list.")[0].split()
    cxx = [flag for path in listed if "c++" in path for flag in ("-isystem", path)]
    flags = []
    skip = False
    for arg in args[1:]:
        if skip:
            skip = False
        elif arg in ("-o", "-c"):
            skip = arg == "-o"
        else:
            flags.append(arg)
    run = subprocess.run(["clang++", "--target=" + target, "-fsyntax-only", "-Werror", *cxx, *flags],
                         cwd=entry["directory"], capture_output=True, text=True)
    checked += 1
    if run.returncode:
        failed += 1
        print(run.stderr, end="")
print(f"second compiler: {checked - failed} of {checked} product sources compile warning-free with clang")
sys.exit(1 if failed or not checked else 0)
