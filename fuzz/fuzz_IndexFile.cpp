// SPDX-License-Identifier: MIT
// The reader of the folder index's cache file, on files whose checksum holds
// (the fuzzer seals each input first, so that what follows it is what is
// tried): it must give no index or a well-formed one, and a well-formed one
// must be written back as it was read.
#include "FuzzInput.h"
#include "platform/walk/index/IndexFile.h"

#include <QString>

using namespace vantorel::dirwalk::index;
using namespace vantorel::fuzz;

namespace
{

QString describe(const std::string& bytes)
{
    return QString::number(qulonglong(bytes.size())) + QStringLiteral(" bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    sealIndexFile(bytes);
    IndexFileHeader header;
    std::string why;
    const std::unique_ptr<FolderIndex> index = decodeIndex(bytes, header, why);
    if (!index)
        return 0;
    require(
        index->size() == header.nodes && index->size() > 0, "the nodes it counts", describe(bytes));
    // Every subtree within the index, and each folder's children where it says.
    for (std::uint32_t id = 0; id < index->size(); ++id) {
        require(index->after(id) <= index->size(), "subtrees within the index", describe(bytes));
        std::uint32_t children = 0;
        for (std::uint32_t child = id + 1; child < index->after(id); child = index->after(child))
            ++children;
        require(children == index->node(id).children, "children counted", describe(bytes));
    }
    // A folder listed with no stamp is written without its content: not read back as it was.
    for (std::uint32_t id = 0; id < index->size(); ++id)
        if (index->node(id).listed() && index->node(id).device == 0xFFFF)
            return 0;
    const std::string again = encodeIndex(
        *index, header, index->devices(), std::vector<bool>(index->devices().size(), true));
    IndexFileHeader headerAgain;
    const std::unique_ptr<FolderIndex> reread = decodeIndex(again, headerAgain, why);
    require(reread && reread->size() == index->size(), "written back whole", describe(bytes));
    for (std::uint32_t id = 0; id < index->size(); ++id)
        require(reread->name(id) == index->name(id)
                && reread->node(id).subtree == index->node(id).subtree,
            "written back as read", describe(bytes));
    return 0;
}
