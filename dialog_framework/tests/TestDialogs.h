// Identifiers of the test templates.
#pragma once

#define IDD_TEST 200
#define IDC_TEST_ADDRESS 300
#define IDC_TEST_TEXT 301
