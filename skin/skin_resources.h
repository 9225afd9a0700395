/* Resource numbers of the skin library image and the skins (RCDATA); read by
   resources/skin_data.rc and skin/held_data_win.cpp. */
#pragma once

#define QZ_RES_SKIN_LIBRARY 300
/* Skin n (1..33) is QZ_RES_SKIN_BASE + n. */
#define QZ_RES_SKIN_BASE 300
