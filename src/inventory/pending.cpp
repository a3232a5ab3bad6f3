// pending.cpp -- the inventory until it lands: its frames do nothing.
#include "inventory/inventory.h"

void inventoryFrame() {}
