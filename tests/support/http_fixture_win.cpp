// loopback HTTP fixture to come
