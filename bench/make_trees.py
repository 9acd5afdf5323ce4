#!/usr/bin/env python3
"""Builds the benchmark trees, the same bytes every time (fixed seed, nothing downloaded).

    bench/make_trees.py ROOT [scenario...]     scenarios: small mixed big wide (default: all)
    bench/make_trees.py --touch TREE LIST COUNTER  gives the files of LIST (relative to TREE) a
                                                time an hour later at every call
    bench/make_trees.py --extras TREE LIST      copies each file of LIST beside itself as
                                                zz-extra-NAME (files the source does not have)

Each scenario becomes ROOT/SCENARIO/; a tree that is already complete (its ".done" mark
exists) is left alone, so re-running the benchmark does not rewrite gigabytes.
"""
import os
import random
import shutil
import sys
import time

SEED = 20261208


def folders(rng, root, count, max_depth):
    """`count` folder paths below root, nested up to max_depth levels."""
    paths = []
    for i in range(count):
        depth = rng.randint(1, max_depth)
        parent = rng.choice([p for p in paths if p.count(os.sep) - root.count(os.sep) < depth] or [root])
        if parent.count(os.sep) - root.count(os.sep) >= max_depth:
            parent = root
        paths.append(os.path.join(parent, "d%04d" % i))
    return paths


def payload(rng, size, pool):
    """Incompressible-looking bytes without generating each file afresh: a slice of a random pool."""
    start = rng.randint(0, len(pool) - size) if size < len(pool) else 0
    data = pool[start:start + size]
    while len(data) < size:
        data += pool[: size - len(data)]
    return data


def write_files(rng, dirs, count, size_of, pool, prefix="f"):
    for d in dirs:
        os.makedirs(d, exist_ok=True)
    for i in range(count):
        folder = dirs[i % len(dirs)]
        with open(os.path.join(folder, "%s%06d.dat" % (prefix, i)), "wb") as f:
            f.write(payload(rng, size_of(rng, i), pool))


def small(root, rng, pool):
    dirs = folders(rng, root, 400, 4)
    write_files(rng, dirs, 20000, lambda r, i: r.randint(1024, 8192), pool)


def mixed(root, rng, pool):
    dirs = folders(rng, root, 200, 3)
    # Log-uniform from 1 KiB to 4 MiB: many small files and a long tail of big ones.
    write_files(rng, dirs, 5000, lambda r, i: int(1024 * (4096 ** r.random())), pool)


def big(root, rng, pool):
    os.makedirs(root, exist_ok=True)
    chunk = pool[: 16 << 20]
    for i in range(4):
        with open(os.path.join(root, "big%d.bin" % i), "wb") as f:
            for _ in range((256 << 20) // len(chunk)):
                f.write(chunk)


def wide(root, rng, pool):
    dirs = folders(rng, root, 1000, 2)
    # Half empty, half a few bytes.
    write_files(rng, dirs, 200000, lambda r, i: 0 if i % 2 else r.randint(1, 64), pool)


SCENARIOS = {"small": small, "mixed": mixed, "big": big, "wide": wide}


def listed(tree, listing):
    with open(listing) as f:
        return [os.path.join(tree, line.rstrip("\n")) for line in f if line.strip()]


def touch(tree, listing, counter):
    """A newer time at every call, size unchanged. An hour apart: Velmora copies only a file
    newer by more than its time difference (120 s unless set)."""
    step = int(open(counter).read() or 0) + 1 if os.path.exists(counter) else 1
    open(counter, "w").write(str(step))
    stamp = int(time.time()) + 3600 * step
    for path in listed(tree, listing):
        os.utime(path, (stamp, stamp))


def extras(tree, listing):
    for path in listed(tree, listing):
        folder, name = os.path.split(path)
        shutil.copyfile(path, os.path.join(folder, "zz-extra-" + name))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    if sys.argv[1] == "--touch" and len(sys.argv) == 5:
        return touch(sys.argv[2], sys.argv[3], sys.argv[4])
    if sys.argv[1] == "--extras" and len(sys.argv) == 4:
        return extras(sys.argv[2], sys.argv[3])
    root = sys.argv[1]
    names = sys.argv[2:] or list(SCENARIOS)
    for name in names:
        if name not in SCENARIOS:
            sys.exit("unknown scenario: %s (%s)" % (name, ", ".join(SCENARIOS)))
        tree = os.path.join(root, name)
        mark = os.path.join(root, "." + name + ".done")
        if os.path.exists(mark):
            continue
        rng = random.Random(SEED)
        pool = rng.randbytes(32 << 20)
        SCENARIOS[name](tree, rng, pool)
        open(mark, "w").close()
        print("made %s" % tree, file=sys.stderr)


if __name__ == "__main__":
    main()
