/*
 * A circular doubly linked list with a head node; each node owns one payload block. An empty
 * list is a head whose prev and next are itself. Positions count from 0 at the node after the
 * head. Callers walk with cl_first/cl_next from the head until the head comes back.
 */
#ifndef TARVO_LIST_H
#define TARVO_LIST_H

#include <stddef.h>

#include "tarvo/export.h"

typedef struct cl_node {
    struct cl_node* prev;
    struct cl_node* next;
    void* data; /* payload owned by the node, or null */
} cl_node;

/* Allocates the head of an empty list; null when memory is exhausted. */
TARVO_API cl_node* cl_inithd(void);

/*
 * Inserts a new node directly after `node`, with an uninitialised payload of `size` bytes (none
 * for 0). Returns the node, or null (no change) when `node` is null or memory is exhausted.
 */
TARVO_API cl_node* cl_ins(cl_node* node, size_t size);

/* `node`'s next (cl_next is the same function); null for null. */
TARVO_API cl_node* cl_first(cl_node* node);
TARVO_API cl_node* cl_next(cl_node* node);

/* `node`'s prev (cl_prev is the same function); null for null. */
TARVO_API cl_node* cl_last(cl_node* node);
TARVO_API cl_node* cl_prev(cl_node* node);

/* Number of nodes after `head` (0 for null). */
TARVO_API int cl_count(cl_node* head);

/* The node at position `n`, or null when `n` is negative or not below the count. */
TARVO_API cl_node* cl_numptr(int n, cl_node* head);

/* Position of `node`, or -1 when it is not in the list (the head itself gives -1). */
TARVO_API int cl_ptrnum(cl_node* node, cl_node* head);

/*
 * Unlinks `node` and frees it with its payload. Returns 0 (nothing done) for a null node or one
 * with null links; refuses with 1 when `node` is the head of a non-empty list; deleting the head
 * of an empty list frees the head.
 */
TARVO_API int cl_del(cl_node* node, cl_node* head);

/* Deletes every node, leaving an empty list. Returns 0. */
TARVO_API int cl_clrlist(cl_node* head);

#endif
