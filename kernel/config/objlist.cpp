// The exported object list. Nodes and payloads come from malloc and go back to free: callers on
// the C side of the library hold them and may outlive any C++ owner.
#include <cstdlib>

#include "tarvo/list.h"

namespace {

// A node that links only to itself is the head of an empty list (a member always has the head
// in its ring).
bool IsLoneHead(const cl_node* node) {
    return node->next == node && node->prev == node;
}

void FreeNode(cl_node* node) {
    std::free(node->data);
    std::free(node);
}

}  // namespace

cl_node* cl_inithd(void) {
    auto* head = static_cast<cl_node*>(std::malloc(sizeof(cl_node)));
    if (head == nullptr) {
        return nullptr;
    }
    head->prev = head;
    head->next = head;
    head->data = nullptr;
    return head;
}

cl_node* cl_ins(cl_node* node, size_t size) {
    if (node == nullptr || node->next == nullptr || node->prev == nullptr) {
        return nullptr;
    }
    auto* created = static_cast<cl_node*>(std::malloc(sizeof(cl_node)));
    if (created == nullptr) {
        return nullptr;
    }
    created->data = nullptr;
    if (size != 0) {
        created->data = std::malloc(size);
        if (created->data == nullptr) {
            std::free(created);
            return nullptr;
        }
    }
    created->prev = node;
    created->next = node->next;
    node->next->prev = created;
    node->next = created;
    return created;
}

cl_node* cl_first(cl_node* node) {
    return node == nullptr ? nullptr : node->next;
}

cl_node* cl_next(cl_node* node) {
    return cl_first(node);
}

cl_node* cl_last(cl_node* node) {
    return node == nullptr ? nullptr : node->prev;
}

cl_node* cl_prev(cl_node* node) {
    return cl_last(node);
}

int cl_count(cl_node* head) {
    if (head == nullptr) {
        return 0;
    }
    int count = 0;
    for (const cl_node* p = head->next; p != nullptr && p != head; p = p->next) {
        ++count;
    }
    return count;
}

cl_node* cl_numptr(int n, cl_node* head) {
    if (head == nullptr || n < 0) {
        return nullptr;
    }
    int position = 0;
    for (cl_node* p = head->next; p != nullptr && p != head; p = p->next, ++position) {
        if (position == n) {
            return p;
        }
    }
    return nullptr;
}

int cl_ptrnum(cl_node* node, cl_node* head) {
    if (node == nullptr || head == nullptr || node == head) {
        return -1;
    }
    int position = 0;
    for (const cl_node* p = head->next; p != nullptr && p != head; p = p->next, ++position) {
        if (p == node) {
            return position;
        }
    }
    return -1;
}

int cl_del(cl_node* node, cl_node* head) {
    if (node == nullptr || node->next == nullptr || node->prev == nullptr) {
        return 0;
    }
    if (IsLoneHead(node)) {
        FreeNode(node);
        return 0;
    }
    if (node == head) {
        return 1;
    }
    node->prev->next = node->next;
    node->next->prev = node->prev;
    FreeNode(node);
    return 0;
}

int cl_clrlist(cl_node* head) {
    if (head == nullptr) {
        return 0;
    }
    for (int remaining = cl_count(head); remaining > 0; --remaining) {
        cl_del(head->prev, head);
    }
    return 0;
}
