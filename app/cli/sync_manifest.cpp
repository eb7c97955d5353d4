// The mirror's manifest in SQLite. It runs in rollback-journal mode with full syncs, not in
// WAL mode: a mirror is often a USB stick or a network share, where WAL's shared-memory
// index does not work, and a journal leaves one file behind when the program ends, which
// travels with the mirror whole. A commit is atomic, and a process killed at any moment
// leaves a hot journal that the next open rolls back.
#include "sync_manifest.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Marks the database as ours ("Nmro"), so a stranger's database is never taken over.
constexpr int kApplicationId = 0x4e6d726f;
// A second program reading the manifest holds its lock for milliseconds; longer is no
// wait worth making (two syncs never share a mirror: mirror_lock.h).
constexpr int kBusyWaitMilliseconds = 10000;

constexpr char kCreateTables[] = "CREATE TABLE outputs ("
                                 " output_path TEXT PRIMARY KEY NOT NULL,"
                                 " source_root TEXT NOT NULL,"
                                 " source_path TEXT NOT NULL,"
                                 " source_size INTEGER NOT NULL,"
                                 " source_time INTEGER NOT NULL,"
                                 " audio_fingerprint TEXT NOT NULL,"
                                 " tag_fingerprint TEXT NOT NULL,"
                                 " profile TEXT NOT NULL,"
                                 " options TEXT NOT NULL,"
                                 " naming TEXT NOT NULL DEFAULT '',"
                                 " output_size INTEGER NOT NULL,"
                                 " output_time INTEGER NOT NULL,"
                                 " replaced_size INTEGER NOT NULL,"
                                 " replaced_time INTEGER NOT NULL,"
                                 " UNIQUE (source_root, source_path));"
                                 "CREATE INDEX outputs_by_sound ON outputs (audio_fingerprint);"
                                 "CREATE TABLE skipped ("
                                 " source_root TEXT NOT NULL,"
                                 " source_path TEXT NOT NULL,"
                                 " source_size INTEGER NOT NULL,"
                                 " source_time INTEGER NOT NULL,"
                                 " PRIMARY KEY (source_root, source_path));";

// What version 1 lacks; its outputs were all named by the source's tree.
constexpr char kUpgradeFromVersion1[] =
    "ALTER TABLE outputs ADD COLUMN naming TEXT NOT NULL DEFAULT ''";

} // namespace

struct SyncManifest {
    sqlite3* db = nullptr;
    std::string path;
    bool inChanges = false;
};

namespace {

bool fail(SyncManifest* manifest, const std::string& what, std::string* error) {
    *error = "the manifest " + manifest->path + ": " + what + ": " + sqlite3_errmsg(manifest->db);
    return false;
}

bool execute(SyncManifest* manifest, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(manifest->db, sql, nullptr, nullptr, &message) == SQLITE_OK) {
        return true;
    }
    *error = "the manifest " + manifest->path + ": " + (message != nullptr ? message : "failed");
    sqlite3_free(message);
    return false;
}

bool readPragma(SyncManifest* manifest, const char* sql, int* value, std::string* error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(manifest->db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        return fail(manifest, "cannot be read", error);
    }
    const int step = sqlite3_step(statement);
    *value = step == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
    sqlite3_finalize(statement);
    return step == SQLITE_ROW || step == SQLITE_DONE ? true
                                                     : fail(manifest, "cannot be read", error);
}

// A new manifest gets its tables, its mark and its version in one transaction; an old
// one is checked for both, and one of an older version is brought up to this one.
bool prepareSchema(SyncManifest* manifest, std::string* error) {
    if (!execute(manifest, "BEGIN IMMEDIATE", error)) {
        return false;
    }
    int version = 0;
    int application = 0;
    bool ready = readPragma(manifest, "PRAGMA user_version", &version, error) &&
                 readPragma(manifest, "PRAGMA application_id", &application, error);
    if (ready && application != 0 && application != kApplicationId) {
        *error =
            "the manifest " + manifest->path + " is no manifest of nemarro's: nothing was changed";
        ready = false;
    } else if (ready && version > kManifestSchemaVersion) {
        *error = "the manifest " + manifest->path + " has schema version " +
                 std::to_string(version) +
                 ", written by a newer nemarro-cli; this one reads version " +
                 std::to_string(kManifestSchemaVersion) + " only: nothing was changed";
        ready = false;
    } else if (ready && version == 0) {
        ready =
            execute(manifest, kCreateTables, error) &&
            execute(manifest, ("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str(),
                    error) &&
            execute(manifest,
                    ("PRAGMA user_version = " + std::to_string(kManifestSchemaVersion)).c_str(),
                    error);
    } else if (ready && version < kManifestSchemaVersion) {
        ready = execute(manifest, kUpgradeFromVersion1, error) &&
                execute(manifest,
                        ("PRAGMA user_version = " + std::to_string(kManifestSchemaVersion)).c_str(),
                        error);
    }
    std::string ignored;
    return execute(manifest, ready ? "COMMIT" : "ROLLBACK", ready ? error : &ignored) && ready;
}

std::string columnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

bool bindText(sqlite3_stmt* statement, int index, const std::string& text) {
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
}

// Runs one statement that changes the manifest, with `bind` filling its parameters, as a
// transaction of its own unless changes were begun.
template <typename Bind>
bool change(SyncManifest* manifest, const char* sql, Bind bind, std::string* error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(manifest->db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        return fail(manifest, "cannot be written", error);
    }
    const bool done = bind(statement) && sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    return done ? true : fail(manifest, "cannot be written", error);
}

} // namespace

std::string manifestPath(const std::string& mirror, const char* fileName) {
    return mirror + "/" + kMirrorStateFolder + "/" + fileName;
}

SyncManifest* openManifest(const std::string& mirror, std::string* error, const char* fileName) {
    const std::string folder = mirror + "/" + kMirrorStateFolder;
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        *error = "cannot create " + folder + ": " + std::strerror(errno);
        return nullptr;
    }
    auto* manifest = new SyncManifest;
    manifest->path = manifestPath(mirror, fileName);
    const int opened = sqlite3_open_v2(manifest->path.c_str(), &manifest->db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened != SQLITE_OK) {
        fail(manifest, "cannot be opened", error);
        closeManifest(manifest);
        return nullptr;
    }
    sqlite3_busy_timeout(manifest->db, kBusyWaitMilliseconds);
    // journal_mode answers with a row, which execute ignores. Set both each time: a copy
    // of the mirror made elsewhere may have been left in another mode.
    if (!execute(manifest, "PRAGMA journal_mode = DELETE", error) ||
        !execute(manifest, "PRAGMA synchronous = FULL", error) || !prepareSchema(manifest, error)) {
        closeManifest(manifest);
        return nullptr;
    }
    return manifest;
}

void closeManifest(SyncManifest* manifest) {
    if (manifest == nullptr) {
        return;
    }
    if (manifest->inChanges) {
        rollBackChanges(manifest);
    }
    sqlite3_close(manifest->db);
    delete manifest;
}

bool readRecords(SyncManifest* manifest, std::vector<ManifestRecord>* records, std::string* error) {
    records->clear();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(manifest->db,
                           "SELECT output_path, source_root, source_path, source_size, source_time,"
                           " audio_fingerprint, tag_fingerprint, profile, options, output_size,"
                           " output_time, replaced_size, replaced_time, naming FROM outputs"
                           " ORDER BY output_path",
                           -1, &statement, nullptr) != SQLITE_OK) {
        return fail(manifest, "cannot be read", error);
    }
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        ManifestRecord record;
        record.outputPath = columnText(statement, 0);
        record.sourceRoot = columnText(statement, 1);
        record.sourcePath = columnText(statement, 2);
        record.sourceSize = sqlite3_column_int64(statement, 3);
        record.sourceTime = sqlite3_column_int64(statement, 4);
        record.audioFingerprint = columnText(statement, 5);
        record.tagFingerprint = columnText(statement, 6);
        record.profile = columnText(statement, 7);
        record.options = columnText(statement, 8);
        record.outputSize = sqlite3_column_int64(statement, 9);
        record.outputTime = sqlite3_column_int64(statement, 10);
        record.replacedSize = sqlite3_column_int64(statement, 11);
        record.replacedTime = sqlite3_column_int64(statement, 12);
        record.naming = columnText(statement, 13);
        records->push_back(std::move(record));
    }
    sqlite3_finalize(statement);
    return step == SQLITE_DONE ? true : fail(manifest, "cannot be read", error);
}

bool beginChanges(SyncManifest* manifest, std::string* error) {
    if (!execute(manifest, "BEGIN IMMEDIATE", error)) {
        return false;
    }
    manifest->inChanges = true;
    return true;
}

bool commitChanges(SyncManifest* manifest, std::string* error) {
    if (!execute(manifest, "COMMIT", error)) {
        rollBackChanges(manifest);
        return false;
    }
    manifest->inChanges = false;
    return true;
}

void rollBackChanges(SyncManifest* manifest) {
    std::string ignored;
    execute(manifest, "ROLLBACK", &ignored);
    manifest->inChanges = false;
}

bool putRecord(SyncManifest* manifest, const ManifestRecord& record, std::string* error) {
    // REPLACE drops the rows that hold the output path or the source, then inserts.
    return change(
        manifest,
        "INSERT OR REPLACE INTO outputs (output_path, source_root, source_path, source_size,"
        " source_time, audio_fingerprint, tag_fingerprint, profile, options, output_size,"
        " output_time, replaced_size, replaced_time, naming)"
        " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
        [&](sqlite3_stmt* statement) {
            return bindText(statement, 1, record.outputPath) &&
                   bindText(statement, 2, record.sourceRoot) &&
                   bindText(statement, 3, record.sourcePath) &&
                   sqlite3_bind_int64(statement, 4, record.sourceSize) == SQLITE_OK &&
                   sqlite3_bind_int64(statement, 5, record.sourceTime) == SQLITE_OK &&
                   bindText(statement, 6, record.audioFingerprint) &&
                   bindText(statement, 7, record.tagFingerprint) &&
                   bindText(statement, 8, record.profile) &&
                   bindText(statement, 9, record.options) &&
                   sqlite3_bind_int64(statement, 10, record.outputSize) == SQLITE_OK &&
                   sqlite3_bind_int64(statement, 11, record.outputTime) == SQLITE_OK &&
                   sqlite3_bind_int64(statement, 12, record.replacedSize) == SQLITE_OK &&
                   sqlite3_bind_int64(statement, 13, record.replacedTime) == SQLITE_OK &&
                   bindText(statement, 14, record.naming);
        },
        error);
}

bool removeRecord(SyncManifest* manifest, const std::string& outputPath, std::string* error) {
    return change(
        manifest, "DELETE FROM outputs WHERE output_path = ?1",
        [&](sqlite3_stmt* statement) { return bindText(statement, 1, outputPath); }, error);
}

bool readSkipped(SyncManifest* manifest, std::vector<SkippedSource>* skipped, std::string* error) {
    skipped->clear();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(manifest->db,
                           "SELECT source_root, source_path, source_size, source_time FROM skipped"
                           " ORDER BY source_root, source_path",
                           -1, &statement, nullptr) != SQLITE_OK) {
        return fail(manifest, "cannot be read", error);
    }
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        skipped->push_back(SkippedSource{columnText(statement, 0), columnText(statement, 1),
                                         sqlite3_column_int64(statement, 2),
                                         sqlite3_column_int64(statement, 3)});
    }
    sqlite3_finalize(statement);
    return step == SQLITE_DONE ? true : fail(manifest, "cannot be read", error);
}

bool putSkipped(SyncManifest* manifest, const SkippedSource& skipped, std::string* error) {
    return change(
        manifest,
        "INSERT OR REPLACE INTO skipped (source_root, source_path, source_size, source_time)"
        " VALUES (?1, ?2, ?3, ?4)",
        [&](sqlite3_stmt* statement) {
            return bindText(statement, 1, skipped.sourceRoot) &&
                   bindText(statement, 2, skipped.sourcePath) &&
                   sqlite3_bind_int64(statement, 3, skipped.sourceSize) == SQLITE_OK &&
                   sqlite3_bind_int64(statement, 4, skipped.sourceTime) == SQLITE_OK;
        },
        error);
}

bool removeSkipped(SyncManifest* manifest, const std::string& sourceRoot,
                   const std::string& sourcePath, std::string* error) {
    return change(
        manifest, "DELETE FROM skipped WHERE source_root = ?1 AND source_path = ?2",
        [&](sqlite3_stmt* statement) {
            return bindText(statement, 1, sourceRoot) && bindText(statement, 2, sourcePath);
        },
        error);
}
