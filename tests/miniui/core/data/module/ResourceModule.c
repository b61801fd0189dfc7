/* A module that exists only for its resources; it is loaded as data. */
int zelk_resource_module_marker;
