// SPDX-License-Identifier: MIT
// Makes the same folder tree on every run, for timing folder walks: bushy
// near the top with some deep chains, mixed-case and Unicode names, hidden
// folders and a few files; prints how many folder names contain "alpha".
// With --wide, one folder of FOLDERS subfolders instead (d0000000, d0000001,
// ...), one in 100 holding a folder "kid": the only names with an "i", which
// it prints as the matches.
//
//   make_tree ROOT [FOLDERS] [--wide]

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace
{

/// A fixed generator, so that every machine makes the same tree.
class SplitMix
{
public:
    explicit SplitMix(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t bound) { return std::size_t(next() % bound); }

private:
    std::uint64_t m_state;
};

const std::vector<std::string> kWords = { "Documents", "photos", "Projects", "src", "build",
    "Music", "old", "Backup", "2019", "notes", "Reports", "tmp", "Archive", "drafts", "Invoices",
    "assets", "lib", "test", "Vacation", "scans" };
// None of these fold to anything containing "alpha" under any rule.
const std::vector<std::string> kUnicodeWords = { "Ärger", "straße", "写真", "café", "Ωmega",
    "Résumé", "Документы", "ｶﾀｶﾅ", "naïve", "Übersicht" };
const std::vector<std::string> kAlphaSpellings = { "alpha", "Alpha", "ALPHA", "aLpHa", "alphabet" };

bool containsAlphaIgnoringCase(const std::string& name)
{
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower.find("alpha") != std::string::npos;
}

std::string makeName(SplitMix& random, std::size_t serial)
{
    const std::size_t kind = random.below(100);
    std::string name(kind < 8 ? 1 : 0, '.');
    if (kind >= 8 && kind < 20)
        name += kUnicodeWords[random.below(kUnicodeWords.size())];
    else
        name += kWords[random.below(kWords.size())];
    if (random.below(100) < 3) {
        name += random.below(2) ? "-" : " ";
        name += kAlphaSpellings[random.below(kAlphaSpellings.size())];
    }
    name += '-';
    name += std::to_string(serial);
    return name;
}

struct Pending {
    std::string path;
    int depth;
};

/// Makes the tree breadth first from the fixed seed, counting what it made.
class TreeMaker
{
public:
    explicit TreeMaker(std::size_t total)
        : m_total(total)
    {
    }

    /// Fills `root`; false, with the reason printed, when a folder cannot be made.
    bool fill(const std::string& root)
    {
        std::deque<Pending> queue { { root, 0 } };
        while (m_made < m_total && !queue.empty()) {
            const Pending parent = queue.front();
            queue.pop_front();
            if (!makeChildren(parent, queue))
                return false;
        }
        return true;
    }

    void print() const
    {
        std::printf("folders %zu\nfiles %zu\nmatches-ignoring-case %zu\nmatches-exact %zu\n",
            m_made, m_files, m_matches, m_exactMatches);
    }

private:
    bool makeChildren(const Pending& parent, std::deque<Pending>& queue)
    {
        // Every fiftieth folder starts a chain twelve levels deep.
        const bool chain = parent.depth > 2 && m_random.below(50) == 0;
        const std::size_t children = chain ? 1 : 1 + m_random.below(parent.depth < 2 ? 40 : 9);
        for (std::size_t i = 0; i < children && m_made < m_total; ++i) {
            const std::string name = makeName(m_random, m_made);
            const std::string path = parent.path + '/' + name;
            if (!makeFolder(path, name))
                return false;
            if (m_random.below(3) == 0)
                makeFile(path + "/readme-alpha.txt");
            const int depth = parent.depth + 1;
            if (chain) {
                std::string deep = path;
                for (int level = 0; level < 12 && m_made < m_total; ++level) {
                    const std::string link = makeName(m_random, m_made);
                    deep += '/' + link;
                    if (!makeFolder(deep, link))
                        return false;
                }
                queue.push_back({ deep, depth + 12 });
            }
            queue.push_back({ path, depth });
        }
        return true;
    }

    bool makeFolder(const std::string& path, const std::string& name)
    {
        if (::mkdir(path.c_str(), 0755) != 0) {
            std::perror(path.c_str());
            return false;
        }
        ++m_made;
        m_matches += containsAlphaIgnoringCase(name);
        m_exactMatches += name.find("alpha") != std::string::npos;
        return true;
    }

    void makeFile(const std::string& file)
    {
        const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            ++m_files;
        }
    }

    SplitMix m_random { 20240611 };
    std::size_t m_total;
    std::size_t m_made = 0;
    std::size_t m_matches = 0;
    std::size_t m_exactMatches = 0;
    std::size_t m_files = 0;
};

} // namespace

/// One folder of `total` subfolders, one in 100 with a "kid" inside.
int makeWide(const std::string& root, std::size_t total)
{
    const int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::size_t kids = 0;
    for (std::size_t i = 0; i < total; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "d%07zu", i);
        std::string made = name;
        bool ok = ::mkdirat(folder, name, 0755) == 0;
        if (ok && i % 100 == 0) {
            made += "/kid";
            ok = ::mkdirat(folder, made.c_str(), 0755) == 0;
            ++kids;
        }
        if (!ok) {
            std::perror((root + '/' + made).c_str());
            return 1;
        }
    }
    ::close(folder);
    std::printf("folders %zu\nfiles 0\nmatches-ignoring-case %zu\nmatches-exact %zu\n",
        total + kids, kids, kids);
    return 0;
}

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool wide = !arguments.empty() && arguments.back() == "--wide";
    if (wide)
        arguments.pop_back();
    if (arguments.empty() || arguments.size() > 2) {
        std::fprintf(stderr, "usage: %s ROOT [FOLDERS] [--wide]\n", argv[0]);
        return 2;
    }
    const std::string root = arguments[0];
    const std::size_t total
        = arguments.size() > 1 ? std::strtoul(arguments[1].c_str(), nullptr, 10) : 200000;
    if (::mkdir(root.c_str(), 0755) != 0) {
        std::perror(root.c_str());
        return 1;
    }
    if (wide)
        return makeWide(root, total);
    TreeMaker maker(total);
    if (!maker.fill(root))
        return 1;
    maker.print();
    return 0;
}
