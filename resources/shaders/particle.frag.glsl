#version 140

// Particle field, fragment stage: a soft round spot cut out of the quad.

in vec2 fs_tex;
in vec4 fs_color;

uniform float iTime;
uniform float viewportWidth;
uniform float viewportHeight;

const float PARTICLE_SIZE = 0.5;

void main()
{
    float dist = length(fs_tex - vec2(0.5, 0.5));
    float spot = 1.0 - smoothstep(0.25, PARTICLE_SIZE, dist);
    gl_FragColor = fs_color * spot;
}
//~