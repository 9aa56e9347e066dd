#include "monitor/url_list_file_win.h"
