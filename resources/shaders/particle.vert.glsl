#version 140

// Particle field, vertex stage. Every instance is one particle of a grid of
// LAYERS_COUNT layers of GRID_SIZE x GRID_SIZE; its place, motion, colour and
// fade are computed here from gl_InstanceID and the time alone.

in vec4 position;
in vec2 position_tex;
in vec3 position_normal;

uniform float iTime;
uniform mat4 model_world;
uniform mat4 world_projection;
uniform mat4 model_projection;

out vec2 fs_tex;
out vec4 fs_color;

// Slowed-down clock; starts part-way along every path.
#define TIME ((iTime + 2.0) * 0.1)

const float PARTICLE_SIZE = 1.0;
const float PARTICLES_STEP = 20.0;
const float LAYERS_STEP = 42.0;
const float GRID_SIZE = 32.0;
const int LAYERS_COUNT = 12;
const float COLOR_MIN = 0.2;
const float COLOR_MAX = 1.0 - COLOR_MIN;

float layer_index;
float index_in_layer;
float particle_line;
float particle_row;
float layer_shift;
float z_shift;
vec3 cameraPos;
vec4 position_current;

// Pseudo-random value in [0, 1) from a 2-D seed.
float hash12(vec2 x)
{
    return fract(sin(dot(x, vec2(43.5287, 41.12871))) * 523.582);
}

// Pseudo-random pair from a 1-D seed (kept for experiments).
vec2 hash21(float x)
{
    return fract(sin(x * vec2(24.0181, 52.1984)) * 5081.4972);
}

// The row vector point times the matrix with columns (s, c) and (-c, s).
vec2 rotate2(vec2 point, float angle)
{
    float s = sin(angle);
    float c = cos(angle);
    return point * mat2(s, c, -c, s);
}

// Swirl: each particle circles at radius 10 around its place, at its own
// fixed angular speed.
vec4 rotate4(vec4 point)
{
    float id = float(gl_InstanceID);
    float h = hash12(point.xy + vec2(id, id));
    float angle = 5.0 * TIME * (h - 0.5) * PARTICLE_SIZE;
    return vec4(point.xy + rotate2(vec2(0.0, 10.0), angle), point.z, point.w);
}

void main()
{
    fs_tex = position_tex;

    float id = float(gl_InstanceID);
    layer_index = floor(id / (GRID_SIZE * GRID_SIZE));
    index_in_layer = id - layer_index * GRID_SIZE * GRID_SIZE;
    particle_line = floor(index_in_layer / GRID_SIZE);
    particle_row = index_in_layer - particle_line * GRID_SIZE;

    layer_shift = GRID_SIZE * 0.5 * (PARTICLE_SIZE + PARTICLES_STEP);
    z_shift = (float(LAYERS_COUNT) + 3.0) * 0.5 * LAYERS_STEP;

    // The apparent camera flight moves the whole field instead of the eye.
    cameraPos = vec3(cos(8.0 * TIME * 0.096) * 190.0,
                     cos(8.0 * TIME * 0.06 + 1.0) * 190.0,
                     -cos(4.0 * TIME * 0.4 + 1.0) * 160.0 - z_shift);

    position_current = vec4(particle_row * (PARTICLE_SIZE + PARTICLES_STEP) - layer_shift,
                            particle_line * (PARTICLE_SIZE + PARTICLES_STEP) - layer_shift,
                            layer_index * LAYERS_STEP,
                            0.0);

    float h = hash12(vec2(id, id));
    position_current.z += 1.5 * LAYERS_STEP * h * (cos(h * 10.0 + TIME) - 0.5);

    position_current = rotate4(position_current);

    gl_Position = model_projection
                * (vec4(cameraPos, 0.0) + position_current + position * PARTICLE_SIZE);

    // One colour for the whole field, cycling with time.
    float r = COLOR_MIN + COLOR_MAX * abs(cos(2.5 * TIME * 0.711));
    float g = COLOR_MIN + COLOR_MAX * abs(sin(2.5 * TIME * 1.137));
    float b = COLOR_MIN + COLOR_MAX * abs(sin(2.5 * TIME * 0.151) * cos(TIME * 0.317));

    // Fog by the distance of the particle's centre: none too close, none too far.
    float d = -cameraPos.z - position_current.z;
    float fog_near = smoothstep(10.0, 30.0, d);
    // smoothstep(300.0, 200.0, d) with its edges in falling order, written out
    // because GLSL leaves smoothstep undefined for such edges.
    float t = clamp((d - 300.0) / (200.0 - 300.0), 0.0, 1.0);
    float fog_far = t * t * (3.0 - 2.0 * t);

    // Fade in over the first seconds, on the raw clock.
    float startup_alpha = smoothstep(1.0, 5.0, iTime);

    fs_color = vec4(r, g, b, fog_near * fog_far * startup_alpha);
}
//~