// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/Worker.h"

#include <chrono>
#include <string_view>
#include <utility>

namespace vantorel::dirwalk::readahead
{

namespace
{

    /// A thread hands its listings over this many at a time, or at once when the
    /// walk waits for them: a lock per folder would cost more than listing it.
    constexpr std::size_t kBatchListings = 128;
    constexpr std::size_t kBatchBytes = std::size_t { 64 } << 10;
    /// A batch the walk waits for goes once it is this old: a wake-up per folder
    /// would cost the walk more than it gains, but on a slow disk it gets each
    /// listing as it comes.
    constexpr std::chrono::microseconds kWaitedBatchAge { 1000 };

} // namespace

void Worker::take(PieceRef piece)
{
    current = piece;
    if (frames.empty())
        frames.emplace_back();
    Frame& first = frames[0];
    first.number = piece->parentNumber;
    first.subfolders = std::move(piece->listing);
    first.next = piece->from;
    first.end = piece->end;
    first.own.reset(); // the first frame is never listed into
    path = std::move(piece->parentPath);
    parentHeld = std::move(piece->parentHeld);
    first.held = parentHeld; // the pieces cut from the parent start from it too
    first.pathLength = path.size();
    depth = 1;
}

bool Worker::open(const std::string& root, const std::shared_ptr<const HeldFolder>& rootHeld)
{
    // The root may be a link; a folder inside the tree is one only if it was swapped for one
    // since, and then the piece is not opened: the walk lists those folders itself.
    const std::string_view below = std::string_view(path).substr(path.empty() ? 0 : 1);
    if (parentHeld)
        opened = cursor->openToEnterFrom(parentHeld, below.size(), root, below, error);
    else if (rootHeld)
        opened = cursor->openToEnterFrom(rootHeld, 0, root, below, error);
    else
        opened = cursor->openToEnter(root, below, error);
    parentHeld.reset(); // the cursor keeps what it started from
    return opened || !cursor->outOfDescriptors();
}

bool Worker::hasNextFolder()
{
    Frame& top = frames[depth - 1];
    while (top.next < top.end && top.subfolders->kind(top.next) != FolderKind::Folder)
        ++top.next;
    return top.next < top.end;
}

void Worker::leaveFolder()
{
    if (opened)
        cursor->leave();
    --depth;
    path.resize(depth > 0 ? frames[depth - 1].pathLength : 0);
}

bool Worker::listNextFolder()
{
    const std::size_t parentDepth = depth - 1;
    const std::size_t index = frames[parentDepth].next;
    if (frames.size() == depth)
        frames.emplace_back(); // moves the frames: take no reference to one before this
    const Frame& parentFrame = frames[parentDepth];
    Frame& child = frames[depth];
    if (!child.own)
        child.own = std::make_shared<SubfolderList>();
    const std::string_view name = parentFrame.subfolders->name(index);
    const bool listed = opened && cursor->enter(name, *child.own, error);
    if (!listed && opened && cursor->outOfDescriptors())
        return false;
    ++frames[parentDepth].next;
    const std::uint64_t number = nextNumber++;
    batch->add(parentFrame.number, number, name, listed, *child.own);
    if (listed) {
        path.push_back(kPathSeparator);
        path.append(name);
        child.number = number;
        child.pathLength = path.size();
        child.subfolders = child.own;
        child.next = 0;
        child.end = child.own->size();
        child.held.reset();
        ++depth;
    }
    return true;
}

void Worker::passNextFolder()
{
    Frame& parent = frames[depth - 1];
    batch->add(parent.number, nextNumber++, parent.subfolders->name(parent.next), false, {});
    ++parent.next;
}

bool Worker::batchDue(bool walkWaitsForIt)
{
    if (batch->size() == 1)
        batchStarted = std::chrono::steady_clock::now();
    return batch->size() >= kBatchListings || batch->bytes() >= kBatchBytes
        || (walkWaitsForIt && std::chrono::steady_clock::now() - batchStarted >= kWaitedBatchAge);
}

std::size_t foldersLeft(const Worker::Frame& frame, std::size_t most)
{
    std::size_t count = 0;
    for (std::size_t i = frame.next; i < frame.end && count < most; ++i)
        count += frame.subfolders->kind(i) == FolderKind::Folder ? 1 : 0;
    return count;
}

} // namespace vantorel::dirwalk::readahead
