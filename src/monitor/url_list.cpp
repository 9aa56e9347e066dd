#include "monitor/url_list.h"
