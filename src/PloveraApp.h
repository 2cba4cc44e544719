#pragma once

class PloveraApp {
public:
    static int run(int argc, char* argv[]);
};
