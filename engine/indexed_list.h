// The engine's one list container: a singly linked list whose nodes carry
// their 0-based index, with a sentinel head, a cursor and a tail.
#pragma once
#include <cstdlib>
#include <cstring>
#include <new>

template <typename T>
class IndexedList {
public:
    struct Node {
        int index;
        Node* next;
        T value;
    };

    IndexedList() { Reset(); }
    ~IndexedList() { Clear(); }

    IndexedList(const IndexedList&) = delete;
    IndexedList& operator=(const IndexedList&) = delete;

    unsigned Count() const { return count; }

    // Address of node i's payload; 0 <= i < Count(). Walks on from the
    // cursor, or from the first node when i lies below the cursor.
    T* At(unsigned i) {
        Node* n = cursor;
        if (n == &head || (int)i < n->index) n = head.next;
        while (n && n->index != (int)i) n = n->next;
        if (!n) return nullptr;
        cursor = n;
        return &n->value;
    }

    T* Append(const T& v) {
        Node* n = static_cast<Node*>(std::malloc(sizeof(Node)));
        if (!n) return nullptr;
        std::memcpy(&n->value, &v, sizeof(T));
        Link(n);
        return &n->value;
    }

    T* AppendNew() {
        Node* n = static_cast<Node*>(std::calloc(1, sizeof(Node)));
        if (!n) return nullptr;
        Link(n);
        return &n->value;
    }

    void RemoveAt(unsigned i) {
        Node* prev = &head;
        for (unsigned k = 0; k < i && prev->next; ++k) prev = prev->next;
        Node* n = prev->next;
        if (!n) return;
        prev->next = n->next;
        if (tail == n) tail = prev;
        std::free(n);
        --count;
        for (Node* m = prev->next; m; m = m->next) --m->index;
        cursor = &head;
    }

    void Clear() {
        Node* n = head.next;
        while (n) {
            Node* next = n->next;
            std::free(n);
            n = next;
        }
        Reset();
    }

    // Read-only views for tests and walkers.
    const Node* Sentinel() const { return &head; }
    const Node* Cursor() const { return cursor; }
    const Node* Tail() const { return tail; }

private:
    void Reset() {
        head.index = -1;
        head.next = nullptr;
        cursor = tail = &head;
        count = 0;
    }
    void Link(Node* n) {
        n->index = tail->index + 1;
        n->next = nullptr;
        tail->next = n;
        tail = cursor = n;
        ++count;
    }

    Node head;
    Node* cursor;
    Node* tail;
    unsigned count;
};

// An owned array of pointer-or-int lists.
struct ListArray {
    IndexedList<void*>* lists = nullptr;
    unsigned count = 0;

    ListArray() = default;
    ~ListArray() { Free(); }
    ListArray(const ListArray&) = delete;
    ListArray& operator=(const ListArray&) = delete;

    void Allocate(unsigned n) {
        Free();
        lists = new (std::nothrow) IndexedList<void*>[n];
        count = lists ? n : 0;
    }
    void Free() {
        delete[] lists;
        lists = nullptr;
        count = 0;
    }
};
