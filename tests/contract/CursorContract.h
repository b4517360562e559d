// SPDX-License-Identifier: MIT
// What every system's directory cursor must do, written once: each case builds
// its tree with the system's TreeMaker and checks the cursor of
// makeSystemDirectoryCursor() and isExistingFolder() on it.
#pragma once

#include "Report.h"
#include "TreeMaker.h"

#include "platform/walk/DirectoryCursor.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vantorel::dirwalk::test
{

struct ContractCase {
    const char* name;
    void (*run)(TreeMaker& tree, Report& report);
};

/// Every case of the contract.
std::span<const ContractCase> cursorContract();

using TreeFactory = std::function<std::unique_ptr<TreeMaker>()>;

/// Runs one case on a fresh tree from `makeTree`, and checks it is removed after.
void runContractCase(const ContractCase& contractCase, const TreeFactory& makeTree, Report& report);

// The cases, one group per file.
void checkListing(TreeMaker& tree, Report& report);
void checkLinks(TreeMaker& tree, Report& report);
void checkNames(TreeMaker& tree, Report& report);
void checkFailures(TreeMaker& tree, Report& report);
void checkUnreadable(TreeMaker& tree, Report& report);
void checkDeepWalk(TreeMaker& tree, Report& report);

// What the cases share.

/// Names of one listing, links marked " (link)", in the order delivered.
std::vector<std::string> namesOf(const SubfolderList& list);

/// The tree below `root` in pre-order, as paths relative to it joined by
/// kPathSeparator; links are listed with " (link)" and not entered. False
/// with the reason on a failure.
bool walkTree(DirectoryCursor& cursor, const std::string& root, std::vector<std::string>& paths,
    std::string& error);

/// `relative` with its '/' turned into the system's separator.
std::string native(std::string_view relative);

/// Makes each folder of each path (parents first, each once) in `tree`.
bool makeFolders(TreeMaker& tree, std::initializer_list<std::string_view> relativePaths);

/// A reason as the cursor must give one: text without a line end.
bool isReason(const std::string& error);
/// The same, in the system's own words where it fixes them for `fault`.
bool isReason(const TreeMaker& tree, const std::string& error, Fault fault);

} // namespace vantorel::dirwalk::test
