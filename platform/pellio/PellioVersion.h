#pragma once

const char* PellioVersionText();
