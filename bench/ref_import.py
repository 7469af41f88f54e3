#!/usr/bin/env python3
"""Reference for import speed: the floor a bookmark import should approach.

usage: ref_import.py BOOKMARKS.html DB_PATH SCHEMA_DB

Reads a Netscape bookmark file line by line with three whole-line patterns,
keeps folders and links in memory, then writes them into a fresh database in
ONE transaction. The tables of folders and links, their indexes and triggers
are copied from SCHEMA_DB (the program's own database after an import), so
the reference pays for every index the program keeps. Prints the elapsed
seconds on its last line.
"""
import os
import re
import sqlite3
import sys
import time

FOLDER = re.compile(r'(\s*)<DT[^>]*><H3[^>]*>(.*?)</H3>')
LINK = re.compile(r'(\s*)<DT[^>]*><A HREF="(.*?)"[^>]*>(.*?)</A>')
END = re.compile(r'\s*</DL><p>')
TABLES = ("tb_links", "tb_folders")


def program_schema(path):
    con = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    rows = con.execute("SELECT type, sql FROM sqlite_master WHERE tbl_name IN (?, ?) "
                       "AND sql IS NOT NULL", TABLES).fetchall()
    con.close()
    order = {"table": 0, "index": 1, "trigger": 2}
    return [sql for kind, sql in sorted(rows, key=lambda row: order.get(row[0], 3))]


def read_bookmarks(src):
    folders, links, stack = [], [], [1]
    with open(src, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\r\n")
            m = FOLDER.fullmatch(line)
            if m:
                folders.append((len(folders) + 2, m.group(2), stack[-1]))
                stack.append(len(folders) + 1)
                continue
            if END.fullmatch(line):
                if len(stack) > 1:
                    stack.pop()
                continue
            m = LINK.fullmatch(line)
            if m:
                links.append((m.group(3), m.group(2), stack[-1]))
    return folders, links


def main():
    src, db, schema_db = sys.argv[1], sys.argv[2], sys.argv[3]
    schema = program_schema(schema_db)
    t0 = time.perf_counter()
    folders, links = read_bookmarks(src)
    if os.path.exists(db):
        os.remove(db)
    con = sqlite3.connect(db)
    for sql in schema:
        con.execute(sql)
    con.execute("BEGIN")
    con.executemany("INSERT INTO tb_folders (id, title, parent, comment) VALUES (?, ?, ?, '')",
                    folders)
    con.executemany("INSERT INTO tb_links (title, url, parent, comment) VALUES (?, ?, ?, '')",
                    links)
    con.commit()
    con.close()
    print(f"{len(folders)} folders, {len(links)} links, {len(schema)} schema statements")
    print(f"{time.perf_counter() - t0:.3f}")


if __name__ == "__main__":
    main()
