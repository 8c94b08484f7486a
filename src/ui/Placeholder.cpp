// Filled in as this layer is built.
