#ifndef ABAKVALUE_H
#define ABAKVALUE_H

// One entry of a station's rating table: a water level and the flow that
// belongs to it, in the units the station's table uses.
//
//   AbakValue v{99.0f, 12.5f};   // v.level, v.flow
struct AbakValue {
    float level = 0.0f;
    float flow = 0.0f;
};

#endif // ABAKVALUE_H
