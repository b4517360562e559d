// SPDX-License-Identifier: MIT
#pragma once

namespace vantorel
{

class Form1Layout;

/// Names every control of the main window for screen readers after its
/// caption; the text box after its frame, the lists after their column and
/// what they hold. The captions themselves stay as they are.
class AccessibleNames
{
public:
    static void apply(Form1Layout& layout);
};

} // namespace vantorel
