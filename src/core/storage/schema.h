#pragma once

#include <string>

// The CREATE texts are part of the file format: the upgrade step searches them.
namespace tb::schema {

inline constexpr const char* kCreateLinks =
    "CREATE TABLE tb_links(id INTEGER PRIMARY KEY AUTOINCREMENT, title VARCHAR(1024), url "
    "VARCHAR(1024), comment VARCHAR(1024) DEFAULT '', parent INTEGER, visits INTEGER DEFAULT "
    "'0',last_visit INTEGER DEFAULT '0')";
inline constexpr const char* kCreateFolders =
    "CREATE TABLE tb_folders(id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, comment TEXT "
    "DEFAULT '', parent INTEGER)";
inline constexpr const char* kCreateUndo =
    "CREATE TABLE tb_undo(actionID INTEGER PRIMARY KEY AUTOINCREMENT, action INTEGER DEFAULT "
    "'-1',id INTEGER DEFAULT '-1', parent_from INTEGER DEFAULT '-1', parent_to INTEGER DEFAULT "
    "'-1', name_from TEXT DEFAULT '', name_to TEXT DEFAULT '',url_from TEXT DEFAULT '', url_to "
    "TEXT DEFAULT '', comment_from TEXT DEFAULT '', comment_to TEXT DEFAULT '',group_id INTEGER "
    "DEFAULT '-1')";
inline constexpr const char* kCreateQueries =
    "CREATE TABLE tb_queries(id INTEGER PRIMARY KEY AUTOINCREMENT, text TEXT DEFAULT "
    "'',in_titles INTEGER DEFAULT '0',in_addresses INTEGER DEFAULT '0',in_comments INTEGER "
    "DEFAULT '0',in_parent_titles INTEGER DEFAULT '0')";
inline constexpr const char* kCreateChannels =
    "CREATE TABLE tb_channels(id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, location TEXT "
    "DEFAULT '')";
inline constexpr const char* kCreateParents =
    "CREATE TABLE tb_parents(folderID INTEGER UNIQUE PRIMARY KEY, parents TEXT DEFAULT '')";
// The last checks of each link; `url` is the address checked, so that a check never speaks for
// an address the link no longer has.
inline constexpr const char* kCreateLinkChecks =
    "CREATE TABLE tb_link_checks(id INTEGER PRIMARY KEY AUTOINCREMENT, link INTEGER, checked "
    "INTEGER, result INTEGER, status INTEGER DEFAULT '0', final_url TEXT DEFAULT '', url TEXT "
    "DEFAULT '')";
inline constexpr const char* kCreateLinkChecksIndex =
    "CREATE INDEX IF NOT EXISTS tb_link_checks_link ON tb_link_checks(link)";
// A folder's links in title order, without a sort.
inline constexpr const char* kCreateLinksByParentIndex =
    "CREATE INDEX IF NOT EXISTS tb_links_parent_title ON tb_links(parent, title)";
// The links sharing an address: duplicate flags and the New Link check.
inline constexpr const char* kCreateLinksByUrlIndex =
    "CREATE INDEX IF NOT EXISTS tb_links_url ON tb_links(url)";
// Whether a row waits for the purge, without reading the whole journal.
inline constexpr const char* kCreateUndoByActionIndex =
    "CREATE INDEX IF NOT EXISTS tb_undo_action ON tb_undo(action, id)";
// Each browser profile imported, by its folder, with the top folder it was imported into, and
// the browser's ids of the items taken from it, so that importing again adds only new items.
inline constexpr const char* kCreateBrowserImports =
    "CREATE TABLE tb_browser_imports(profile TEXT PRIMARY KEY, folder INTEGER)";
inline constexpr const char* kCreateBrowserItems =
    "CREATE TABLE tb_browser_items(profile TEXT, guid TEXT, PRIMARY KEY (profile, guid))";
inline constexpr const char* kInsertRoot =
    "INSERT INTO tb_folders (id, title, parent) VALUES ('1', '/', '0')";
inline constexpr const char* kAddFolderProtected =
    "ALTER TABLE tb_folders ADD COLUMN protected INTEGER DEFAULT '0'";
inline constexpr const char* kAddUndoProtectedFrom =
    "ALTER TABLE tb_undo ADD COLUMN protected_from INTEGER DEFAULT '0'";

// Journal action codes of the deletions that wait for the purge; part of the file format.
inline constexpr int kFolderDeletionCode = 2;
inline constexpr int kLinkDeletionCode = 3;

// The ids of the rows that wait for the purge, for SQL that must leave them out.
inline const std::string kPendingFolderIds =
    "(SELECT id FROM tb_undo WHERE action = " + std::to_string(kFolderDeletionCode) + ")";
inline const std::string kPendingLinkIds =
    "(SELECT id FROM tb_undo WHERE action = " + std::to_string(kLinkDeletionCode) + ")";

}  // namespace tb::schema
