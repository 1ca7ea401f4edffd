// Process-wide records owned by the start-up sequence.
