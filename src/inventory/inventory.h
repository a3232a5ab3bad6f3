// inventory.h -- the inventory panel and the artifacts the player carries.
#pragma once

// Every frame while the inventory is open.
void inventoryFrame();
