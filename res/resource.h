#pragma once
#define IDI_ZARVANE 1
