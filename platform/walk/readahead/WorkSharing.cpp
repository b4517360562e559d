// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/WorkSharing.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vantorel::dirwalk::readahead
{

namespace
{

    /// The depth of a thread's shallowest folder with subfolders still to be started, whose
    /// rest can be shared: `worker.depth` when there is none, or when its rest is one folder
    /// and nothing deeper is left to the thread, which would then only wait for work again.
    std::size_t folderToShare(const Worker& worker)
    {
        const auto firstWithWork = [&worker](std::size_t depth) {
            while (depth < worker.depth && foldersLeft(worker.frames[depth], 1) == 0)
                ++depth;
            return depth;
        };
        const std::size_t depth = firstWithWork(0);
        if (depth < worker.depth && foldersLeft(worker.frames[depth], 2) < 2
            && firstWithWork(depth + 1) == worker.depth)
            return worker.depth;
        return depth;
    }

    /// The subfolders of `folders` from `from` to `end`, as a piece of the folder `parent` at
    /// `path`.
    Piece pieceOf(std::uint64_t parent, std::string path,
        std::shared_ptr<const SubfolderList> folders, std::size_t from, std::size_t end)
    {
        Piece piece;
        piece.parentNumber = parent;
        piece.parentPath = std::move(path);
        piece.listing = std::move(folders);
        piece.from = from;
        piece.end = end;
        return piece;
    }

} // namespace

bool WorkSharing::piecesAfter(DirectoryCursor& cursor, const std::string& root,
    std::shared_ptr<const SubfolderList> rootListing, const std::vector<std::string>& resumePath,
    PieceList& pieces, std::shared_ptr<const HeldFolder>& rootHeld)
{
    std::string error;
    struct Step {
        std::shared_ptr<const SubfolderList> subfolders;
        std::string path;
        std::size_t from = 0; ///< the first subfolder after the resume path's
    };
    std::vector<Step> chain(1);
    if (rootListing) {
        if (!cursor.openToEnter(root, {}, error))
            return false;
        chain[0].subfolders = std::move(rootListing);
    } else {
        auto listing = std::make_shared<SubfolderList>();
        if (!cursor.openRoot(root, *listing, error))
            return false;
        chain[0].subfolders = std::move(listing);
    }
    for (const std::string& name : resumePath) {
        Step& parent = chain.back();
        const SubfolderList& folders = *parent.subfolders;
        std::size_t index = 0;
        while (index < folders.size()
            && (folders.name(index) != name || folders.kind(index) != FolderKind::Folder))
            ++index;
        if (index == folders.size())
            return false; // the tree has changed: the walk goes on without help
        parent.from = index + 1;
        auto listing = std::make_shared<SubfolderList>();
        if (!cursor.enter(name, *listing, error))
            return false;
        chain.push_back({ std::move(listing), parent.path + kPathSeparator + name });
    }
    rootHeld = cursor.hold(0);
    // The rest of the deepest folder comes first in pre-order, the rest of the root last.
    for (std::size_t i = chain.size(); i-- > 0;) {
        const std::size_t end = chain[i].subfolders->size();
        if (chain[i].from == end)
            continue;
        Piece piece = pieceOf(
            i, std::move(chain[i].path), std::move(chain[i].subfolders), chain[i].from, end);
        piece.parentHeld = i == 0 ? rootHeld : cursor.hold(i);
        pieces.push_back(std::move(piece));
    }
    // The pieces keep what they start from: the chain's descriptors go.
    for (std::size_t i = 0; i < chain.size(); ++i)
        cursor.leave();
    return true;
}

PieceRef WorkSharing::take(Worker& worker)
{
    // The first piece nobody has started is taken, if it is within the limits; when there is
    // none, a running piece is asked for work. The pieces are large and handed over rarely:
    // threads that traded small pieces near the walk spent more on waking each other than on
    // listing.
    const auto unstarted = std::find_if(m_pieces.begin(), m_pieces.end(),
        [](const Piece& piece) { return piece.state == Piece::State::Unstarted; });
    if (unstarted != m_pieces.end() && mayStart(unstarted)) {
        unstarted->state = Piece::State::Running;
        ++m_running;
        unstarted->owner = &worker;
        --m_unstarted;
        updateHunger();
        wakeOneIdle();
        return unstarted;
    }
    if (m_budget.roomLeft())
        askForWork(unstarted);
    return m_pieces.end();
}

PieceRef WorkSharing::firstUnfinished()
{
    for (auto piece = m_pieces.begin(); piece != m_pieces.end(); ++piece)
        if (piece->state != Piece::State::Finished)
            return piece;
    return m_pieces.end();
}

bool WorkSharing::mayStart(PieceRef piece) const
{
    // The walk reads the first piece next, whatever the limits.
    return piece == m_pieces.begin()
        || m_budget.withinLimits(ListingBudget::aheadOf(m_pieces, piece, false));
}

void WorkSharing::askForWork(PieceRef before)
{
    // One owner asked per idle thread: every piece given away is one more to count through.
    if (m_ownersAsked > m_idle)
        return;
    Ahead ahead;
    const auto end = before == m_pieces.end() ? before : std::next(before);
    for (auto piece = m_pieces.begin(); piece != end; ++piece) {
        ahead.listings += piece->ahead.listings;
        ahead.bytes += piece->ahead.bytes;
        if (!m_budget.withinLimits(ahead))
            return;
        if (piece->state == Piece::State::Running && piece->owner
            && !piece->owner->giveAwayAsked.load(std::memory_order_relaxed)) {
            piece->owner->giveAwayAsked.store(true, std::memory_order_relaxed);
            ++m_ownersAsked;
            return;
        }
        if (piece->state != Piece::State::Finished)
            ++ahead.listings;
    }
}

bool WorkSharing::answerRequest(Worker& worker, bool grown)
{
    const bool given = grown ? giveAwayLast(worker) : giveAwayNextHalf(worker);
    // Asked again by the next idle thread that wakes, not at every folder: the lock for each
    // would cost more than the listing.
    answered(worker);
    return given;
}

bool WorkSharing::shareWork(Worker& worker, bool grown)
{
    bool given = false;
    if (worker.giveAwayAsked.load(std::memory_order_relaxed))
        given = answerRequest(worker, grown);
    if (grown)
        given = feedIdle(worker) || given;
    return given;
}

void WorkSharing::answered(Worker& worker)
{
    if (worker.giveAwayAsked.exchange(false, std::memory_order_relaxed))
        --m_ownersAsked;
}

PieceRef WorkSharing::giveAway(Worker& worker, std::size_t depth, std::size_t from, PieceRef where)
{
    Worker::Frame& frame = worker.frames[depth];
    if (from >= frame.end)
        return where;
    Piece piece = pieceOf(
        frame.number, worker.path.substr(0, frame.pathLength), frame.subfolders, from, frame.end);
    frame.end = from;
    // The list is the piece's too now: the frame's next listing goes to a list of its own.
    if (frame.own == frame.subfolders)
        frame.own.reset();
    // The thread's cursor holds the folder open at the same depth as its frames; one
    // descriptor serves every piece cut from the folder.
    if (!frame.held && worker.opened)
        frame.held = worker.cursor->hold(depth);
    piece.parentHeld = frame.held;
    ++m_unstarted;
    updateHunger();
    return std::next(m_pieces.insert(where, std::move(piece)));
}

bool WorkSharing::giveAwayLast(Worker& worker)
{
    // The thread's last work in pre-order is the rest of its shallowest folder that has any.
    const std::size_t depth = folderToShare(worker);
    if (depth == worker.depth)
        return false;
    const Worker::Frame& frame = worker.frames[depth];
    // Halves by entries, not folders, so that cutting a large folder costs no count of it.
    const std::size_t left = frame.end - frame.next;
    // The last half of it; all of it when that is one folder and the thread keeps deeper work.
    // Nothing the thread lists from now on comes after it: it follows the thread's piece.
    giveAway(worker, depth, frame.next + left / 2, std::next(worker.current));
    ++m_piecesGivenAway;
    if (m_idle > 0)
        m_wake.notify_one(); // one piece: more would only wake to sleep again
    return true;
}

bool WorkSharing::giveAwayNextHalf(Worker& worker)
{
    // The rest of the thread's shallowest folder that has any comes after all its deeper work.
    const std::size_t depth = folderToShare(worker);
    if (depth == worker.depth)
        return false;
    const Worker::Frame& frame = worker.frames[depth];
    const std::size_t left = frame.end - frame.next;
    // The first half follows the thread's piece, for the idle thread; the second half follows
    // that, for whichever thread is free first. This thread ends its piece with its deeper work.
    giveAway(worker, depth, frame.next + (left + 1) / 2, std::next(worker.current));
    giveAway(worker, depth, frame.next, std::next(worker.current));
    ++m_piecesGivenAway;
    if (m_idle > 0)
        m_wake.notify_one(); // the second half waits for the first thread free
    return true;
}

void WorkSharing::giveEverythingBack(Worker& worker)
{
    // The deepest folder's rest first: that is pre-order.
    PieceRef where = std::next(worker.current);
    for (std::size_t depth = worker.depth; depth-- > 0;)
        where = giveAway(worker, depth, worker.frames[depth].next, where);
    if (m_idle > 0)
        m_wake.notify_all();
}

void WorkSharing::finish(PieceRef piece)
{
    --m_running;
    piece->state = Piece::State::Finished;
    piece->owner = nullptr;
    piece->listing.reset();
    piece->parentHeld.reset();
    // Neighbours both finished become one piece: the list stays as short as the work still to
    // be made, however finely a large folder was cut, and so does every count through it.
    if (piece != m_pieces.begin() && std::prev(piece)->state == Piece::State::Finished) {
        const PieceRef before = std::prev(piece);
        absorb(*before, piece);
        piece = before;
    }
    const PieceRef after = std::next(piece);
    if (after != m_pieces.end() && after->state == Piece::State::Finished)
        absorb(*piece, after);
}

void WorkSharing::absorb(Piece& into, PieceRef later)
{
    for (std::unique_ptr<ListingBatch>& batch : later->batches)
        into.batches.push_back(std::move(batch));
    into.ahead.listings += later->ahead.listings;
    into.ahead.bytes += later->ahead.bytes;
    m_pieces.erase(later);
}

void WorkSharing::addPieces(PieceList& pieces)
{
    m_unstarted += pieces.size();
    m_pieces.splice(m_pieces.end(), pieces);
    updateHunger();
}

bool WorkSharing::feedIdle(Worker& worker)
{
    bool given = false;
    while (m_idle > m_unstarted && giveAwayLast(worker))
        given = true;
    return given;
}

void WorkSharing::updateHunger()
{
    m_hungry.store(m_idle > m_unstarted, std::memory_order_relaxed);
}

void WorkSharing::waitForWork(std::unique_lock<std::mutex>& lock)
{
    ++m_idle;
    updateHunger();
    m_wake.wait(lock);
    --m_idle;
    updateHunger();
}

void WorkSharing::wakeOneIdle()
{
    if (m_idle > 0)
        m_wake.notify_one();
}

void WorkSharing::wakeAllIdle()
{
    if (m_idle > 0)
        m_wake.notify_all();
}

} // namespace vantorel::dirwalk::readahead
