#include "revisions/git_repository.h"

#include "base/platform.h"
#include "base/file_io.h"
#include "base/parallel.h"
#include "base/shared_library.h"

#include <git2.h>
#include <git2/sys/odb_backend.h>
#include <git2/sys/repository.h>
#include "revisions/loose_object.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <unordered_set>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// The system's package that holds the library, named when it cannot be loaded.
#ifndef ZORVIKA_LIBGIT2_PACKAGE
#define ZORVIKA_LIBGIT2_PACKAGE ""
#endif

// libgit2 and what it pulls in (its TLS and SSH libraries among them) are
// loaded when a revision is first read, not at every start of the programs:
// only counting a revision needs them. The header gives the functions' types.
#define ZORVIKA_GIT_FUNCTIONS(X) \
    X(git_blob_free) \
    X(git_blob_lookup) \
    X(git_blob_rawcontent) \
    X(git_blob_rawsize) \
    X(git_buf_dispose) \
    X(git_commit_free) \
    X(git_commit_id) \
    X(git_commit_lookup) \
    X(git_commit_time) \
    X(git_commit_time_offset) \
    X(git_commit_tree_id) \
    X(git_error_last) \
    X(git_error_set_str) \
    X(git_libgit2_init) \
    X(git_libgit2_opts) \
    X(git_libgit2_shutdown) \
    X(git_object_free) \
    X(git_object_type) \
    X(git_object_peel) \
    X(git_odb_add_backend) \
    X(git_odb_backend_data_alloc) \
    X(git_odb_backend_data_free) \
    X(git_odb_free) \
    X(git_odb_init_backend) \
    X(git_odb_object_data) \
    X(git_odb_object_free) \
    X(git_odb_object_size) \
    X(git_odb_object_type) \
    X(git_odb_open) \
    X(git_odb_read) \
    X(git_odb_read_header) \
    X(git_oid_fromstr) \
    X(git_oid_tostr) \
    X(git_repository_free) \
    X(git_repository_item_path) \
    X(git_repository_odb) \
    X(git_repository_set_odb) \
    X(git_repository_open_ext) \
    X(git_repository_workdir) \
    X(git_revparse_single) \
    X(git_revwalk_free) \
    X(git_revwalk_new) \
    X(git_revwalk_next) \
    X(git_revwalk_push) \
    X(git_revwalk_push_range) \
    X(git_revwalk_sorting) \
    X(git_strarray_dispose) \
    X(git_tag_list_match) \
    X(git_tree_entry_byindex) \
    X(git_tree_entry_filemode) \
    X(git_tree_entry_id) \
    X(git_tree_entry_name) \
    X(git_tree_entrycount) \
    X(git_tree_free) \
    X(git_tree_lookup)

struct GitApi {
    ZORVIKA_GIT_FUNCTIONS(ZORVIKA_LIBRARY_POINTER)
    // Nothing, or why the library cannot be used.
    Outcome loaded = loadLibraryFunctions(ZORVIKA_LIBGIT2_LIBRARY, ZORVIKA_LIBGIT2_PACKAGE,
                                          {ZORVIKA_GIT_FUNCTIONS(ZORVIKA_LIBRARY_FUNCTION)});

    GitApi()
    {
        if (!loaded)
            return;
        // Started once for the life of the program (each repository adds
        // its own reference): a second repository then costs no new start.
        git_libgit2_init();
        // Objects are only read, and zlib's checksums already catch damaged
        // data: hashing every object again as it is read would cost more
        // than counting it.
        git_libgit2_opts(GIT_OPT_ENABLE_STRICT_HASH_VERIFICATION, 0);
        // The trees a count needs are kept by the program for as long as
        // they are in use; the library's own cache would keep every small
        // tree and commit of an import to its end.
        git_libgit2_opts(GIT_OPT_ENABLE_CACHING, 0);
    }
};

// Loaded once, on the first thread that asks.
const GitApi& git()
{
    static const GitApi api;
    return api;
}

// What the library last said went wrong, about `what`.
Failure<> lastError(std::string_view what)
{
    const git_error* e = git().git_error_last();
    return fail(std::string(what) + ": " + (e && e->message ? e->message : "unknown error"));
}

std::string idText(const git_oid* oid)
{
    char buf[GIT_OID_HEXSZ + 1];
    git().git_oid_tostr(buf, sizeof buf, oid);
    return buf;
}

// An object of the library, freed with the library's own function.
template <typename T>
struct Owned {
    void (*release)(T*);
    T* p = nullptr;
    ~Owned()
    {
        if (p)
            release(p);
    }
};

GitCommit commitOf(git_commit* c)
{
    GitCommit out;
    out.id = idText(git().git_commit_id(c));
    out.treeId = idText(git().git_commit_tree_id(c));
    out.time = git().git_commit_time(c);
    out.offsetMinutes = git().git_commit_time_offset(c);
    return out;
}


// The loose objects of one objects folder, read by our own reader: the
// library's reader of them inflates forever when a loose object is cut
// short (its stream waits for input that never comes), where git fails at
// once. Added to every object database the program reads through, it comes
// after the packs and before the library's own loose reader, which so never
// reads an object that this one finds, damaged or not.
struct LooseBackend {
    git_odb_backend parent; // first, so that the library's pointer is this one's
    fs::path objects;
};

fs::path looseFile(const fs::path& objects, const std::string& hex)
{
    return objects / hex.substr(0, 2) / hex.substr(2);
}

git_object_t objectType(const std::string& type)
{
    return type == "commit" ? GIT_OBJECT_COMMIT
         : type == "tree"   ? GIT_OBJECT_TREE
         : type == "blob"   ? GIT_OBJECT_BLOB
                            : GIT_OBJECT_TAG;
}

int looseFailure(const LooseObject& object, const std::string& hex)
{
    if (object.status == LooseStatus::Missing)
        return GIT_ENOTFOUND;
    git().git_error_set_str(GIT_ERROR_ODB, ("loose object " + hex + " is damaged: " + object.reason).c_str());
    return GIT_ERROR;
}

int looseReadFile(void** data, std::size_t* size, git_object_t* type, git_odb_backend* backend, const std::string& hex)
{
    auto* self = reinterpret_cast<LooseBackend*>(backend);
    LooseObject object = readLooseObject(
        looseFile(self->objects, hex),
        [backend](std::size_t n) { return static_cast<char*>(git().git_odb_backend_data_alloc(backend, n)); },
        [backend](char* p) { git().git_odb_backend_data_free(backend, p); });
    if (object.status != LooseStatus::Ok)
        return looseFailure(object, hex);
    *data = object.data;
    *size = static_cast<std::size_t>(object.size);
    *type = objectType(object.type);
    return 0;
}

// Nothing thrown crosses the library's C frames.
template <typename F>
int guarded(F&& f)
{
    try {
        return f();
    } catch (...) {
        git().git_error_set_str(GIT_ERROR_NOMEMORY, "out of memory reading a loose object");
        return GIT_ERROR;
    }
}

int looseRead(void** data, std::size_t* size, git_object_t* type, git_odb_backend* backend, const git_oid* oid)
{
    return guarded([&] { return looseReadFile(data, size, type, backend, idText(oid)); });
}

int looseReadHeader(std::size_t* size, git_object_t* type, git_odb_backend* backend, const git_oid* oid)
{
    return guarded([&] {
        const std::string hex = idText(oid);
        const LooseObject object = readLooseObject(looseFile(reinterpret_cast<LooseBackend*>(backend)->objects, hex));
        if (object.status != LooseStatus::Ok)
            return looseFailure(object, hex);
        *size = static_cast<std::size_t>(object.size);
        *type = objectType(object.type);
        return 0;
    });
}

// A unique loose object whose id begins with the first `length` digits.
int looseFindPrefix(git_oid* full, void** data, std::size_t* size, git_object_t* type, git_odb_backend* backend,
                    const git_oid* shortId, std::size_t length)
{
    const std::string prefix = idText(shortId).substr(0, length);
    if (prefix.size() < 2)
        return GIT_ENOTFOUND;
    std::string found;
    std::error_code ec;
    const fs::path folder = reinterpret_cast<LooseBackend*>(backend)->objects / prefix.substr(0, 2);
    for (fs::directory_iterator d(folder, ec), end; !ec && d != end; d.increment(ec)) {
        const std::string name = utf8Of(d->path().filename());
        if (name.size() != GIT_OID_HEXSZ - 2 || name.compare(0, prefix.size() - 2, prefix, 2) != 0
            || name.find_first_not_of("0123456789abcdef") != std::string::npos)
            continue;
        if (!found.empty()) {
            git().git_error_set_str(GIT_ERROR_ODB, ("the short id " + prefix + " names several objects").c_str());
            return GIT_EAMBIGUOUS;
        }
        found = prefix.substr(0, 2) + name;
    }
    if (found.empty())
        return GIT_ENOTFOUND;
    if (git().git_oid_fromstr(full, found.c_str()) != 0)
        return GIT_ENOTFOUND;
    return looseReadFile(data, size, type, backend, found);
}

int looseReadPrefix(git_oid* full, void** data, std::size_t* size, git_object_t* type, git_odb_backend* backend,
                    const git_oid* shortId, std::size_t length)
{
    return guarded([&] { return looseFindPrefix(full, data, size, type, backend, shortId, length); });
}

void looseFree(git_odb_backend* backend)
{
    delete reinterpret_cast<LooseBackend*>(backend);
}

// Adds our loose reader for `objects` and for the folders its
// "info/alternates" names (as git does, at most five deep).
void addLooseReaders(git_odb* odb, const fs::path& objects, int depth = 0)
{
    auto backend = std::make_unique<LooseBackend>();
    if (git().git_odb_init_backend(&backend->parent, GIT_ODB_BACKEND_VERSION) != 0)
        return;
    backend->objects = objects;
    backend->parent.read = looseRead;
    backend->parent.read_prefix = looseReadPrefix;
    backend->parent.read_header = looseReadHeader;
    backend->parent.free = looseFree;
    // Priority 2, as the packs: after them (they were added first), before
    // the library's loose reader (priority 1).
    if (git().git_odb_add_backend(odb, &backend->parent, 2) != 0)
        return;
    backend.release();
    if (depth >= 5)
        return;
    const auto read = readRegularFile(objects / "info" / "alternates", 1 << 20);
    if (!read)
        return;
    const std::string& list = *read;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        const fs::path alternate = pathFromUtf8(line);
        addLooseReaders(odb, alternate.is_absolute() ? alternate : objects / alternate, depth + 1);
    }
}

} // namespace

GitLibraryStart::GitLibraryStart()
{
    try {
        thread_ = std::thread([] { git(); });
    } catch (const std::system_error&) {
        // Then the library starts when a repository is first opened.
    }
}

GitLibraryStart::~GitLibraryStart()
{
    if (thread_.joinable())
        thread_.join();
}

struct GitRepository::Handle {
    git_repository* repo = nullptr;
    // Object databases of the repository's objects folder, one for each
    // thread that reads blobs at the same time.
    std::vector<git_odb*> readers;
    bool readersOpened = false;
    fs::path objects; // the repository's objects folder
    ~Handle()
    {
        for (git_odb* odb : readers)
            git().git_odb_free(odb);
        if (repo)
            git().git_repository_free(repo);
        git().git_libgit2_shutdown();
    }
};

GitRepository::GitRepository(std::unique_ptr<Handle> handle) : handle_(std::move(handle))
{
    if (const char* w = git().git_repository_workdir(handle_->repo))
        workTree_ = pathFromUtf8(w).lexically_normal();
    if (!workTree_.empty() && workTree_.filename().empty())
        workTree_ = workTree_.parent_path();
}

GitRepository::~GitRepository() = default;

Result<std::unique_ptr<GitRepository>> GitRepository::open(const fs::path& start, const fs::path& gitDir)
{
    if (!git().loaded)
        return git().loaded.failure();
    git().git_libgit2_init();
    auto handle = std::make_unique<Handle>();
    // A folder that is gone from the work tree (the file is counted as it
    // was) is looked for from the nearest folder up that exists.
    fs::path from = start;
    while (gitDir.empty() && from.has_relative_path() && !followedInfo(from))
        from = from.parent_path();
    const int rc = gitDir.empty()
                       ? git().git_repository_open_ext(&handle->repo, utf8Of(from).c_str(), 0, nullptr)
                       : git().git_repository_open_ext(&handle->repo, utf8Of(gitDir).c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr);
    const std::string where = (gitDir.empty() ? start : gitDir).string();
    if (rc != 0)
        return rc == GIT_ENOTFOUND ? fail(Cause::NotRepository, "not in a git repository").about(where) : lastError(where);
    git_odb* odb = nullptr;
    git_buf objects{};
    if (git().git_repository_odb(&odb, handle->repo) != 0
        || git().git_repository_item_path(&objects, handle->repo, GIT_REPOSITORY_ITEM_OBJECTS) != 0) {
        const Failure<> failed = lastError(where);
        git().git_buf_dispose(&objects);
        if (odb)
            git().git_odb_free(odb);
        return failed;
    }
    handle->objects = pathFromUtf8(objects.ptr);
    git().git_buf_dispose(&objects);
    addLooseReaders(odb, handle->objects);
    git().git_odb_free(odb);
    return std::unique_ptr<GitRepository>(new GitRepository(std::move(handle)));
}

Result<GitCommit> GitRepository::commit(std::string_view revision)
{
    const std::string rev(revision);
    Owned<git_object> obj{git().git_object_free};
    if (git().git_revparse_single(&obj.p, handle_->repo, rev.c_str()) != 0)
        return lastError("revision " + rev);
    Owned<git_object> peeled{git().git_object_free};
    if (git().git_object_peel(&peeled.p, obj.p, GIT_OBJECT_COMMIT) != 0)
        return lastError("revision " + rev);
    return commitOf(reinterpret_cast<git_commit*>(peeled.p));
}

void GitRepository::beginRevision()
{
    previousTrees_ = std::move(trees_);
    trees_.clear();
    // The object databases are opened anew for each revision after the
    // first: the library keeps the delta bases it inflated, per pack and per
    // database (up to 16 MiB each), until the database is closed, so that an
    // import's memory would grow with the number of its revisions.
    if (revisionsBegun_++ == 0)
        return;
    for (git_odb* odb : handle_->readers)
        git().git_odb_free(odb);
    handle_->readers.clear();
    handle_->readersOpened = false;
    git_odb* fresh = nullptr;
    if (git().git_odb_open(&fresh, utf8Of(handle_->objects).c_str()) == 0) {
        addLooseReaders(fresh, handle_->objects);
        git().git_repository_set_odb(handle_->repo, fresh);
        git().git_odb_free(fresh);
    }
}

Result<const std::vector<GitEntry>*> GitRepository::tree(const std::string& id)
{
    if (const auto it = trees_.find(id); it != trees_.end())
        return &it->second;
    // A tree of the revision before is moved over whole, its entries where
    // they were.
    if (auto node = previousTrees_.extract(id))
        return &trees_.insert(std::move(node)).position->second;
    git_oid oid;
    Owned<git_tree> t{git().git_tree_free};
    if (git().git_oid_fromstr(&oid, id.c_str()) != 0 || git().git_tree_lookup(&t.p, handle_->repo, &oid) != 0)
        return lastError("tree " + id);
    std::vector<GitEntry> entries;
    const std::size_t n = git().git_tree_entrycount(t.p);
    entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const git_tree_entry* e = git().git_tree_entry_byindex(t.p, i);
        GitEntryKind kind = GitEntryKind::File;
        switch (git().git_tree_entry_filemode(e)) {
        case GIT_FILEMODE_TREE: kind = GitEntryKind::Folder; break;
        case GIT_FILEMODE_LINK: kind = GitEntryKind::Link; break;
        case GIT_FILEMODE_COMMIT: kind = GitEntryKind::Submodule; break;
        default: break;
        }
        entries.push_back({git().git_tree_entry_name(e), kind, idText(git().git_tree_entry_id(e))});
    }
    return &trees_.emplace(id, std::move(entries)).first->second;
}

Result<std::uint64_t> GitRepository::blobSize(const std::string& id)
{
    git_oid oid;
    git_odb* odb = nullptr;
    std::size_t size = 0;
    git_object_t type = GIT_OBJECT_INVALID;
    const bool read = git().git_oid_fromstr(&oid, id.c_str()) == 0 && git().git_repository_odb(&odb, handle_->repo) == 0
                      && git().git_odb_read_header(&size, &type, odb, &oid) == 0;
    if (odb)
        git().git_odb_free(odb);
    if (!read)
        return lastError("blob " + id);
    if (type != GIT_OBJECT_BLOB)
        return fail("blob " + id + ": the object is no blob");
    return size;
}

Outcome GitRepository::withBlob(const std::string& id, const std::function<void(std::string_view)>& use)
{
    git_oid oid;
    Owned<git_blob> b{git().git_blob_free};
    if (git().git_oid_fromstr(&oid, id.c_str()) != 0 || git().git_blob_lookup(&b.p, handle_->repo, &oid) != 0)
        return lastError("blob " + id);
    use(std::string_view(static_cast<const char*>(git().git_blob_rawcontent(b.p)),
                         static_cast<std::size_t>(git().git_blob_rawsize(b.p))));
    return {};
}

std::vector<bool> GitRepository::readBlobs(const std::vector<std::string>& ids,
                                           const std::function<void(std::size_t, std::string_view)>& use)
{
    std::size_t given = 0;
    return readBlobs(
        [&](std::string& id) {
            if (given == ids.size())
                return false;
            id = ids[given++];
            return true;
        },
        use);
}

std::vector<bool> GitRepository::readBlobs(const std::function<bool(std::string&)>& next,
                                           const std::function<void(std::size_t, std::string_view)>& use)
{
    // One thread more than the machine has cores: while one waits (for a
    // page of the pack, for the pack's lock), the others keep the cores busy.
    const std::size_t threads = std::min<std::size_t>(machineThreads(), 8) + 1;
    if (!handle_->readersOpened) {
        handle_->readersOpened = true;
        for (std::size_t i = 0; i < threads; ++i) {
            git_odb* odb = nullptr;
            if (git().git_odb_open(&odb, utf8Of(handle_->objects).c_str()) != 0)
                break;
            addLooseReaders(odb, handle_->objects);
            handle_->readers.push_back(odb);
        }
    }
    if (handle_->readers.empty())
        return {};

    // This thread asks `next` for the ids and queues them while the other
    // workers read what is queued; once `next` has no more it reads too.
    // Each worker reads through an object database of its own, and what it
    // read is marked in a place of its own.
    const std::size_t workers = handle_->readers.size();
    std::deque<std::string> queue; // grows without moving what it holds; under the loop's lock
    std::vector<const std::string*> taken(workers);
    std::vector<std::vector<std::size_t>> readBy(workers);
    auto ask = [&](std::string& id) {
        try {
            return next(id);
        } catch (...) {
            return false; // what is not read here, the caller reads alone
        }
    };
    // A blob that does not read is only left unmarked (the caller reads it
    // again alone, and learns why it failed).
    auto readOne = [&](std::size_t index, std::size_t worker) {
        git_oid oid;
        Owned<git_odb_object> object{git().git_odb_object_free};
        if (git().git_oid_fromstr(&oid, taken[worker]->c_str()) != 0
            || git().git_odb_read(&object.p, handle_->readers[worker], &oid) != 0
            || git().git_odb_object_type(object.p) != GIT_OBJECT_BLOB)
            return;
        try {
            use(index, std::string_view(static_cast<const char*>(git().git_odb_object_data(object.p)),
                                        git().git_odb_object_size(object.p)));
            readBy[worker].push_back(index);
        } catch (...) {
            // Left to the caller, whose own read reports the failure.
        }
    };
    ParallelLoop loop(
        workers, [&](std::size_t index, std::size_t worker) { taken[worker] = &queue[index]; }, readOne);

    // The other workers start only once there are two blobs to read: a
    // revision that changed one module, or none, is read on this thread alone.
    std::string id;
    for (int i = 0; i < 2 && ask(id); ++i)
        loop.add(1, [&] { queue.push_back(std::move(id)); });
    if (loop.size() == 2) {
        loop.start();
        try {
            while (ask(id))
                loop.add(1, [&] { queue.push_back(std::move(id)); });
        } catch (const std::bad_alloc&) {
            // What is queued is read; the caller reads the rest alone.
        }
    }
    loop.finish();
    std::vector<bool> read(loop.size(), false);
    for (const auto& mine : readBy)
        for (std::size_t i : mine)
            read[i] = true;
    return read;
}

Outcome GitRepository::blob(const std::string& id, std::string& out)
{
    return withBlob(id, [&](std::string_view bytes) { out.assign(bytes); });
}

Result<std::vector<GitCommit>> GitRepository::tagged(std::string_view pattern, std::vector<std::string>* warnings)
{
    git_strarray names {};
    const std::string glob = pattern.empty() ? std::string("*") : std::string(pattern);
    if (git().git_tag_list_match(&names, glob.c_str(), handle_->repo) != 0)
        return lastError("tags");
    std::vector<std::pair<GitCommit, std::string>> found;
    for (std::size_t i = 0; i < names.count; ++i) {
        const std::string name = names.strings[i];
        const std::string ref = "refs/tags/" + name;
        // A tag of a tree or a blob names no revision: it is passed over,
        // and said. Anything else that does not lead to a commit (a missing
        // or damaged object) is a failure.
        Owned<git_object> obj{git().git_object_free};
        Owned<git_object> target{git().git_object_free};
        // (An annotated tag is followed until its object is no tag.)
        if (git().git_revparse_single(&obj.p, handle_->repo, ref.c_str()) != 0
            || (git().git_object_type(obj.p) == GIT_OBJECT_TAG
                && git().git_object_peel(&target.p, obj.p, GIT_OBJECT_ANY) != 0)) {
            const Failure<> failed = lastError("tag " + name);
            git().git_strarray_dispose(&names);
            return failed;
        }
        const git_object_t type = git().git_object_type(target.p ? target.p : obj.p);
        if (type == GIT_OBJECT_TREE || type == GIT_OBJECT_BLOB) {
            if (warnings)
                warnings->push_back("tag " + name + " points at a " + (type == GIT_OBJECT_TREE ? "tree" : "blob")
                                    + ", not at a commit; skipped");
            continue;
        }
        Owned<git_object> peeled{git().git_object_free};
        if (git().git_object_peel(&peeled.p, obj.p, GIT_OBJECT_COMMIT) != 0) {
            const Failure<> failed = lastError("tag " + name);
            git().git_strarray_dispose(&names);
            return failed;
        }
        found.emplace_back(commitOf(reinterpret_cast<git_commit*>(peeled.p)), name);
    }
    git().git_strarray_dispose(&names);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.time != b.first.time ? a.first.time < b.first.time : a.second < b.second;
    });
    std::vector<GitCommit> commits;
    std::unordered_set<std::string> taken;
    for (const auto& [commit, name] : found) {
        tagNames_.emplace(commit.id, name);
        // Two tags of one commit count it once.
        if (taken.insert(commit.id).second)
            commits.push_back(commit);
    }
    return commits;
}

std::vector<std::string> GitRepository::tagsOf(const std::string& commitId) const
{
    std::vector<std::string> names;
    for (auto [it, end] = tagNames_.equal_range(commitId); it != end; ++it)
        names.push_back(it->second);
    return names;
}

Result<std::vector<GitCommit>> GitRepository::range(std::string_view range)
{
    Owned<git_revwalk> walk{git().git_revwalk_free};
    if (git().git_revwalk_new(&walk.p, handle_->repo) != 0)
        return lastError("revisions");
    git().git_revwalk_sorting(walk.p, GIT_SORT_TOPOLOGICAL | GIT_SORT_TIME | GIT_SORT_REVERSE);
    const std::string text(range);
    int rc = 0;
    if (text.find("..") != std::string::npos) {
        rc = git().git_revwalk_push_range(walk.p, text.c_str());
    } else {
        const auto c = commit(text);
        if (!c)
            return Result<std::vector<GitCommit>>::failureOf(c);
        git_oid oid;
        git().git_oid_fromstr(&oid, c->id.c_str());
        rc = git().git_revwalk_push(walk.p, &oid);
    }
    if (rc != 0)
        return lastError("revisions " + text);
    std::vector<GitCommit> commits;
    git_oid oid;
    while ((rc = git().git_revwalk_next(&oid, walk.p)) == 0) {
        Owned<git_commit> c{git().git_commit_free};
        if (git().git_commit_lookup(&c.p, handle_->repo, &oid) != 0)
            return lastError("commit " + idText(&oid));
        commits.push_back(commitOf(c.p));
    }
    if (rc != GIT_ITEROVER)
        return lastError("revisions " + text);
    return commits;
}

} // namespace zorvika
