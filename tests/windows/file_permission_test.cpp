// tests to come
