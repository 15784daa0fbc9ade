// Named callbacks and the event handler lists bound to them. The game
// registers its callbacks by name before the GUI document loads; each event
// attribute ("Name(arg);Name2(arg2)") is resolved once into a handler list.
#pragma once
#include "indexed_list.h"

// sender: the control that fires the event, the screen or window for its
// "OnOpen"/"OnClose", null for the document's "OnStart". argument: the text
// between the parentheses, null when empty. true lets the list go on.
typedef bool (*GuiCallback)(void* sender, const char* argument);

struct CallbackEntry {
    char name[128];  // at most 127 characters
    GuiCallback callback;
};

class CallbackRegistry {
public:
    static constexpr int kBucketCount = 1000;
    static constexpr int kMaxNameLength = 127;

    CallbackRegistry();

    // Sum of the bytes as signed 8-bit values, modulo 1000 into 0..999.
    static int Bucket(const char* name);

    // Appends to the name's bucket (no duplicate check: lookups find the
    // first one). Names longer than 127 characters are cut.
    void Register(const char* name, GuiCallback callback);
    // Exact, case-sensitive; null when there is none.
    GuiCallback Find(const char* name);
    // Empties every bucket.
    void Clear();

    unsigned BucketSize(int bucket) const { return buckets[bucket].Count(); }
    // Every entry in the order it was registered.
    unsigned RegisteredCount() const { return order.Count(); }
    const CallbackEntry* RegisteredAt(unsigned i);

private:
    IndexedList<CallbackEntry> buckets[kBucketCount];
    IndexedList<CallbackEntry*> order;  // into the buckets
};

class GuiHandlerList {
public:
    GuiHandlerList() = default;
    ~GuiHandlerList() { Clear(); }

    // Appends a callback with a copy of its argument (null when empty).
    void Add(GuiCallback callback, const char* argument);
    // Runs the callbacks in order; false at the first that returns false.
    // An empty list yields true.
    bool Invoke(void* sender);
    // Frees the arguments and both lists' nodes.
    void Clear();

    unsigned Count() const { return callbacks.Count(); }
    GuiCallback CallbackAt(unsigned i);
    const char* ArgumentAt(unsigned i);

private:
    GuiHandlerList(const GuiHandlerList&) = delete;
    GuiHandlerList& operator=(const GuiHandlerList&) = delete;

    IndexedList<char*> arguments;     // owned copies, null for an empty one
    IndexedList<GuiCallback> callbacks;
};

// Runs a handler list that may be null; true for none.
inline bool InvokeHandlers(GuiHandlerList* list, void* sender) {
    return list ? list->Invoke(sender) : true;
}
