#include "CvoVarItemManager.h"

CvoVarItemManager::CvoVarItemManager() = default;

CvoVarItemManager::~CvoVarItemManager() = default;

void CvoVarItemManager::addVarItem (const juce::String& name, const juce::var& value)
{
    auto* item = new CvoVarItem (name, value);
    item->setId (varItems.size());
    varItems.add (item);
}

CvoVarItem* CvoVarItemManager::getVarItem (const juce::String& name) const
{
    for (auto* item : varItems)
        if (item->getName() == name)
            return item;

    return nullptr;
}

CvoVarItem* CvoVarItemManager::getVarItem (int id) const
{
    // Ids are positions, so the first setting with this id is the one at id.
    return (id >= 0 && id < varItems.size()) ? varItems.getUnchecked (id) : nullptr;
}

juce::var CvoVarItemManager::getVar (const juce::String& name) const
{
    auto* item = getVarItem (name);
    return item != nullptr ? item->getVar() : juce::var();
}

juce::var CvoVarItemManager::getVar (int id) const
{
    auto* item = getVarItem (id);
    return item != nullptr ? item->getVar() : juce::var();
}

juce::String CvoVarItemManager::getVarItemName (int index) const
{
    auto* item = getVarItem (index);
    return item != nullptr ? item->getName() : juce::String();
}

bool CvoVarItemManager::setVarItemValue (const juce::String& name, const juce::var& value)
{
    return storeAndQueue (getVarItem (name), value);
}

bool CvoVarItemManager::setVarItemValue (int id, const juce::var& value)
{
    return storeAndQueue (getVarItem (id), value);
}

bool CvoVarItemManager::storeAndQueue (CvoVarItem* item, const juce::var& value)
{
    if (item == nullptr || !item->setVar (value))
        return false;

    // Stamp before the flag, so that a puller that sees the flag sees the stamp.
    // An item already queued keeps its place (and its stamp).
    if (!item->queued.load (std::memory_order_acquire))
        item->queueStamp.store (lastQueueStamp.fetch_add (1, std::memory_order_relaxed) + 1,
                                std::memory_order_relaxed);

    // Release: the puller that clears this flag also sees the value stored above.
    item->queued.store (true, std::memory_order_release);
    return true;
}

bool CvoVarItemManager::hasModifiedVarItems() const
{
    for (auto* item : varItems)
        if (item->queued.load (std::memory_order_acquire))
            return true;

    return false;
}

CvoVarItem* CvoVarItemManager::pullNextModifiedVarItem()
{
    for (;;)
    {
        CvoVarItem* newest = nullptr;
        std::uint64_t newestStamp = 0;

        for (auto* item : varItems)
        {
            if (!item->queued.load (std::memory_order_acquire))
                continue;

            const auto stamp = item->queueStamp.load (std::memory_order_relaxed);

            if (newest == nullptr || stamp > newestStamp)
            {
                newest = item;
                newestStamp = stamp;
            }
        }

        if (newest == nullptr)
            return nullptr;

        // Only a puller clears a flag; with the one puller this always succeeds,
        // with more than one the loser looks again.
        if (newest->queued.exchange (false, std::memory_order_acq_rel))
            return newest;
    }
}
