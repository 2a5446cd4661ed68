/*
 * A circular doubly linked list with a head node; each node owns one payload block. An empty
 * list is a head whose prev and next are itself. Positions count from 0 at the node after the
 * head. Callers walk with cl_first/cl_next from the head until the head comes back. Nodes and
 * payloads come from malloc and go back to free.
 *
 * Return conventions:
 *
 *   function                       success                  failure or not found
 *   cl_inithd, cl_ins              the new node             null
 *   cl_first .. cl_prev            the neighbour            null (for a null node)
 *   cl_numptr                      the node                 null
 *   cl_count, cl_ptrnum            a count or position      0 / -1
 *   cl_del                         0 (also: nothing done)   1 (refused)
 *   cl_clrlist                     0                        (never fails)
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

/*
 * Allocates the head of an empty list.
 * Returns the head, or null when memory is exhausted.
 */
TARVO_API cl_node* cl_inithd(void);

/*
 * Inserts a new node directly after `node`, with an uninitialised payload of `size` bytes (none
 * for 0).
 * `node` [in, out]: a head or a member of a list; may be null (nothing is done).
 * Returns the node, or null (no change) when `node` is null or has null links, or memory is
 * exhausted.
 */
TARVO_API cl_node* cl_ins(cl_node* node, size_t size);

/*
 * The node after `node` (cl_next is the same function); from the head, the first member.
 * `node` [in]: may be null.
 * Returns `node`'s next, or null for null.
 */
TARVO_API cl_node* cl_first(cl_node* node);
TARVO_API cl_node* cl_next(cl_node* node);

/*
 * The node before `node` (cl_prev is the same function); from the head, the last member.
 * `node` [in]: may be null.
 * Returns `node`'s prev, or null for null.
 */
TARVO_API cl_node* cl_last(cl_node* node);
TARVO_API cl_node* cl_prev(cl_node* node);

/*
 * Counts the members of a list.
 * `head` [in]: the list's head; may be null.
 * Returns the number of nodes after `head` (0 for null).
 */
TARVO_API int cl_count(cl_node* head);

/*
 * Finds the member at a position.
 * `head` [in]: the list's head; may be null (null result).
 * Returns the node at position `n`, or null when `n` is negative or not below the count.
 */
TARVO_API cl_node* cl_numptr(int n, cl_node* head);

/*
 * Finds the position of a member.
 * `node` [in], `head` [in]: the member and the list's head; either may be null (-1).
 * Returns the position of `node`, or -1 when it is not in the list (the head itself gives -1).
 */
TARVO_API int cl_ptrnum(cl_node* node, cl_node* head);

/*
 * Unlinks `node` and frees it with its payload; deleting the head of an empty list frees the
 * head.
 * `node` [in, out]: the node to delete; may be null (nothing is done).
 * `head` [in]: the list's head, only compared with `node`; may be null.
 * Returns 0 when the node was deleted, and also (nothing done) for a null node or one with null
 * links; 1, refusing, when `node` is the head of a non-empty list.
 */
TARVO_API int cl_del(cl_node* node, cl_node* head);

/*
 * Deletes every member, leaving an empty list.
 * `head` [in, out]: the list's head; may be null (nothing is done).
 * Returns 0.
 */
TARVO_API int cl_clrlist(cl_node* head);

#endif
