#pragma once
// Newest reply wins: a load takes a ticket before it awaits its reply and, once resumed, acts only while that
// ticket is still current. Starting a newer load, or dropping, makes every earlier ticket stale, so a slow reply
// that arrives late neither replaces newer results nor ends a busy state that now belongs to the newer load.
#include <QtGlobal>

class NewestReply
{
public:
    using Ticket = quint64;

    // A new ticket; every earlier one is stale from now on.
    [[nodiscard]] Ticket begin() { return ++m_current; }
    // The ticket of the load going on, for work that joins it rather than replacing it.
    [[nodiscard]] Ticket current() const { return m_current; }
    [[nodiscard]] bool isCurrent(Ticket ticket) const { return ticket == m_current; }
    // Makes every ticket handed out so far stale (a cancel, or the owner going away).
    void drop() { ++m_current; }

private:
    Ticket m_current = 0;
};
