// SPDX-License-Identifier: MIT
#include "results/ResultFilters.h"

#include <QVarLengthArray>
#include <vector>

namespace vantorel
{

namespace
{

    /// Lower-cases `text` as QString::toLower does. Rows are nearly always plain
    /// ASCII, which is lowered here into a reused buffer; anything else goes
    /// through toLower itself.
    class RowLowerCase
    {
    public:
        QStringView lower(const QString& text)
        {
            const qsizetype size = text.size();
            m_ascii.resize(size);
            const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
            for (qsizetype i = 0; i < size; ++i) {
                const char16_t c = in[i];
                if (c >= 0x80) {
                    m_other = text.toLower();
                    return m_other;
                }
                m_ascii[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
            }
            return QStringView(m_ascii.constData(), size);
        }

    private:
        QVarLengthArray<char16_t, 512> m_ascii;
        QString m_other;
    };

    // One pass chooses the rows; one call removes them, so that a list of a
    // million rows loses half of them in about a second instead of shifting the
    // tail once per removed row.
    void removeEntries(ListControl& list, const QString& phrase, bool removeWhenFound)
    {
        const QString needle = phrase.toLower();
        RowLowerCase row;
        std::vector<int> pending;
        const int n = list.count();
        for (int i = 0; i < n; ++i) {
            const bool found = row.lower(list.text(i)).contains(needle);
            if (found == removeWhenFound)
                pending.push_back(i);
        }
        if (!pending.empty())
            list.removeRows(pending);
    }

} // namespace

void RemoveEntriesContaining(ListControl& list, const QString& phrase)
{
    removeEntries(list, phrase, true);
}

void RemoveEntriesNotContaining(ListControl& list, const QString& phrase)
{
    removeEntries(list, phrase, false);
}

} // namespace vantorel
