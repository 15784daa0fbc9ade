#include "gui_callbacks.h"

#include <cstdlib>
#include <cstring>

#include "strings.h"

CallbackRegistry::CallbackRegistry() {}

int CallbackRegistry::Bucket(const char* name) {
    int sum = 0;
    if (name)
        for (const char* p = name; *p; ++p) sum += (signed char)*p;
    int bucket = sum % kBucketCount;
    if (bucket < 0) bucket += kBucketCount;
    return bucket;
}

void CallbackRegistry::Register(const char* name, GuiCallback callback) {
    if (!name) return;
    CallbackEntry entry;
    std::memset(&entry, 0, sizeof(entry));
    CopyString(entry.name, sizeof(entry.name), name);
    entry.callback = callback;
    // The bucket of the stored (possibly cut) name, so that a lookup of the
    // same text finds it.
    if (CallbackEntry* stored = buckets[Bucket(entry.name)].Append(entry)) order.Append(stored);
}

const CallbackEntry* CallbackRegistry::RegisteredAt(unsigned i) {
    CallbackEntry** entry = i < order.Count() ? order.At(i) : nullptr;
    return entry ? *entry : nullptr;
}

GuiCallback CallbackRegistry::Find(const char* name) {
    if (!name || std::strlen(name) > (size_t)kMaxNameLength) return nullptr;
    IndexedList<CallbackEntry>& bucket = buckets[Bucket(name)];
    for (unsigned i = 0; i < bucket.Count(); ++i) {
        CallbackEntry* entry = bucket.At(i);
        if (entry && std::strcmp(entry->name, name) == 0) return entry->callback;
    }
    return nullptr;
}

void CallbackRegistry::Clear() {
    order.Clear();
    for (int i = 0; i < kBucketCount; ++i) buckets[i].Clear();
}

void GuiHandlerList::Add(GuiCallback callback, const char* argument) {
    char* copy = nullptr;
    SetString(copy, argument);  // null for an empty argument
    arguments.Append(copy);
    callbacks.Append(callback);
}

bool GuiHandlerList::Invoke(void* sender) {
    unsigned n = callbacks.Count();
    for (unsigned i = 0; i < n; ++i) {
        GuiCallback* callback = callbacks.At(i);
        char** argument = arguments.At(i);
        if (!callback || !*callback) continue;
        if (!(*callback)(sender, argument ? *argument : nullptr)) return false;
    }
    return true;
}

void GuiHandlerList::Clear() {
    for (unsigned i = 0; i < arguments.Count(); ++i) {
        char** argument = arguments.At(i);
        if (argument) std::free(*argument);
    }
    arguments.Clear();
    callbacks.Clear();
}

GuiCallback GuiHandlerList::CallbackAt(unsigned i) {
    GuiCallback* callback = i < callbacks.Count() ? callbacks.At(i) : nullptr;
    return callback ? *callback : nullptr;
}

const char* GuiHandlerList::ArgumentAt(unsigned i) {
    char** argument = i < arguments.Count() ? arguments.At(i) : nullptr;
    return argument ? *argument : nullptr;
}
