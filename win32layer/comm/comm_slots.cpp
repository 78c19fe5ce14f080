/* A handle is (generation << 9) | (slot index + 1): never 0, never all
   ones, and a handle kept after CloseHandle does not name the slot's next
   user. No allocation, so any value can be checked safely. */
#include "comm_slots.h"

#include <stdint.h>

/* Low bits: index + 1, 1 to 256. */
static const unsigned SLOT_BITS = 9;
static const uintptr_t SLOT_MASK = (1u << SLOT_BITS) - 1;
/* Generations wrap below 2^20, keeping handles well clear of all ones
   even with 32-bit pointers. */
static const DWORD GENERATION_LIMIT = 1u << 20;

/* One thread at a time, like the callers. */
static CommSlot g_slots[COMM_SLOT_COUNT];

CommSlot *CommSlotFind(HANDLE handle)
{
    uintptr_t value = (uintptr_t)handle;
    uintptr_t number = value & SLOT_MASK;
    if (number == 0 || number > COMM_SLOT_COUNT)
        return nullptr;
    CommSlot *slot = &g_slots[number - 1];
    if (!slot->open || slot->generation != value >> SLOT_BITS)
        return nullptr;
    return slot;
}

CommSlot *CommSlotClaim(HANDLE *handle)
{
    for (unsigned index = 0; index < COMM_SLOT_COUNT; ++index) {
        CommSlot *slot = &g_slots[index];
        if (slot->open)
            continue;
        DWORD generation = slot->generation % (GENERATION_LIMIT - 1) + 1;
        *slot = CommSlot();
        slot->open = true;
        slot->generation = generation;
        *handle = (HANDLE)(((uintptr_t)generation << SLOT_BITS) | (index + 1));
        return slot;
    }
    return nullptr;
}

void CommSlotRelease(CommSlot *slot)
{
    slot->open = false;
}
